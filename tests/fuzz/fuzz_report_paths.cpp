// The export's names: a plate, month, year or date text either gives a path of one or two
// plain names directly below the program folder, or is refused with a message.
#include "fuzz_support.h"
#include "report/report_paths.h"

#include <QDir>
#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

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
        const bool control = std::any_of(
            part.begin(), part.end(), [](QChar ch) { return ch.category() == QChar::Other_Control; });
        fuzz::check(isSafeName(part) && !control && !part.isEmpty() && part != u"." && part != u".."
                && QFile::encodeName(part).size() <= LongestNameBytes,
            "unsafe name in path", *path);
    }
    fuzz::check(QDir::cleanPath(*path) == *path, "path not clean", *path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    QString texts[4], errors[3];
    for (QString& text : texts)
        text = fuzz::text(in.ConsumeRandomLengthString(400));
    const auto& [plate, month, year, date] = texts;
    checkPath(reportFolderPath(ProgramDir, plate, &errors[0]), errors[0], 1, plate);
    checkPath(reportFilePath(ProgramDir, plate, month, year, &errors[1]), errors[1], 2,
        plate + " " + month + "_" + year);
    checkPath(tripPagePath(ProgramDir, plate, date, &errors[2]), errors[2], 2, date);
    return 0;
}
