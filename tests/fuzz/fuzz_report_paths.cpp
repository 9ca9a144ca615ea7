// The export's names: a plate, month, year or date text either gives a path of one or two
// plain names directly below the program folder, or is refused with a message.
#include "fuzz_support.h"
#include "report/report_paths.h"

#include <QDir>
#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>

using namespace odomira;

namespace {

const QString ProgramDir = QStringLiteral("/programm");

void checkPath(const std::optional<QString>& path, const QString& error, int names, const QString& shown)
{
    if (!path) {
        fuzz::check(!error.isEmpty(), "refusal without a message", shown);
        fuzz::check(error.size() < 400, "refusal quotes too much", error);
        return;
    }
    fuzz::check(path->startsWith(ProgramDir + u'/'), "path outside the program folder", *path);
    const QStringList parts = path->mid(ProgramDir.size() + 1).split(u'/');
    fuzz::check(parts.size() == names, "path leaves its folder", *path);
    for (const QString& part : parts) {
        fuzz::check(isSafeName(part), "unsafe name in path", *path);
        fuzz::check(!part.isEmpty() && part != u"." && part != u"..", "dot name", *path);
        fuzz::check(QFile::encodeName(part).size() <= LongestNameBytes, "name too long", *path);
        for (const QChar ch : part)
            fuzz::check(ch.category() != QChar::Other_Control, "control character", *path);
    }
    fuzz::check(QDir::cleanPath(*path) == *path, "path not clean", *path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    auto next = [&in] {
        const std::string bytes = in.ConsumeRandomLengthString(400);
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    };
    const QString plate = next();
    const QString month = next();
    const QString year = next();
    const QString date = next();
    QString error;
    checkPath(reportFolderPath(ProgramDir, plate, &error), error, 1, plate);
    error.clear();
    checkPath(
        reportFilePath(ProgramDir, plate, month, year, &error), error, 2, plate + " " + month + "_" + year);
    error.clear();
    checkPath(tripPagePath(ProgramDir, plate, date, &error), error, 2, date);
    return 0;
}
