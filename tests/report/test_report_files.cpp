// What an export puts on disk: the bytes a report is written in (test_export's expected bytes
// are made with the same encoder), the names its files may take, stored texts as HTML where
// test_export leaves a case untried, and each file put in place whole: its bytes exactly, or
// on failure nothing new anywhere.
#include "report/ansi_line_writer.h"
#include "report/report_document.h"
#include "report/report_paths.h"
#include "report/trip_page.h"
#include "report/whole_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace odomira;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(nicht lesbar)");
}

// Every entry of the folder, hidden ones included, so a left-over part file shows.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

const QByteArray Page = QByteArrayLiteral("<html>\r\n<body>\r\nf\xFCr \x80 &amp;\r\n\0\r\n</html>\r\n");

} // namespace

class TestReportFiles : public QObject {
    Q_OBJECT
private slots:
    void encodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("umlauts, euro") << "für ß 1,33 €" << QByteArray("f\xFCr \xDF 1,33 \x80");
        QTest::newRow("0x84..0x9F") << "„x“ – ŠŒŽšœžŸ™"
                                    << QByteArray("\x84x\x93 \x96 \x8A\x8C\x8E\x9A\x9C\x9E\x9F\x99");
        QTest::newRow("C1 controls") << QStringLiteral("\u0081\u008D\u0080") << QByteArray("???");
        QTest::newRow("outside the code page, surrogates") << "Łódź 😀" + QString(QChar(0xD83D))
                                                           << QByteArray("?\xF3"
                                                                         "d? ??");
    }

    void encodes()
    {
        QFETCH(QString, text);
        QTEST(toWindows1252(text), "bytes");
    }

    void safeName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::addColumn<bool>("pageSafe"); // as the name of a trip page, ".html" added

        QTest::newRow("plate") << "Ü-AB 1" << true << true;
        QTest::newRow("dot dot") << ".." << false << false;
        QTest::newRow("backslash") << "HH\\OM" << false << false;
        QTest::newRow("NUL") << QString("HH") + QChar(u'\0') + QString("OM") << false << false;
        QTest::newRow("C1 control") << QString("HH") + QChar(0x85) + QString("OM") << false << false;
        QTest::newRow("longest name") << QString(250, u'x') << true << true;
        QTest::newRow("page name too long") << QString(251, u'x') << true << false;
        QTest::newRow("too long in bytes") << QString(128, u'Ü') << false << false;
    }

    // The plate names the report folder and a trip date names its page: both paths exist
    // exactly for the safe names, and an unsafe one is named in the reason, cut to 40 characters.
    void safeName()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QFETCH(bool, pageSafe);
        QCOMPARE(isSafeName(name), safe);
        QString folderError, pageError;
        QCOMPARE(reportFolderPath("/opt/odomira", name, &folderError).has_value(), safe);
        QCOMPARE(tripPagePath("/opt/odomira", "HH-OM 42", name, &pageError).has_value(), pageSafe);
        const QString shown = name.size() > 40 ? "„" + name.left(40) + "…“" : "„" + name + "“";
        QVERIFY2(safe || folderError.contains(shown), qPrintable(folderError));
        QVERIFY2(pageSafe || pageError.contains(shown), qPrintable(pageError));
    }

    void writes_data()
    {
        QTest::addColumn<QString>("before"); // what stands at "seite.html" or its folder
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        const int written = int(WholeFileWrite::Written), failed = int(WholeFileWrite::Failed);
        QTest::newRow("new file") << "nothing" << Page << written;
        QTest::newRow("replaces a longer file") << "file" << QByteArray("kurz") << written;
        QTest::newRow("large content") << "nothing" << QByteArray(3 << 20, 'x') << written;
        QTest::newRow("dangling link") << "dangling link" << Page << int(WholeFileWrite::SymbolicLink);
        QTest::newRow("a folder at the path") << "folder" << Page << failed;
        QTest::newRow("a file where the folder goes") << "file as folder" << Page << failed;
    }

    // A link to an existing file is the export's case (test_export's blockedOutput).
    void writes()
    {
        QFETCH(QString, before);
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        QTemporaryDir dir;
        QTemporaryDir outside;
        const QString folder = dir.filePath("HH-OM 42");
        const QString path = folder + "/seite.html";
        QVERIFY(before == "file as folder" ? writeFile(folder, "kein Ordner") : QDir().mkdir(folder));
        if (before == "file")
            QVERIFY(writeFile(path, "die alte Seite, länger als die neue"));
        else if (before == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (before == "dangling link")
            QVERIFY(QFile::link(outside.filePath("ziel.html"), path));
        const QStringList entriesBefore = entries(dir.path()) + entries(folder);
        const QByteArray bytesBefore = readFile(path);

        QCOMPARE(int(writeWholeFile(path, content)), result);
        if (result == int(WholeFileWrite::Written)) {
            QCOMPARE(readFile(path), content);
            QCOMPARE(entries(folder), QStringList { "seite.html" });
            // Readable as any file the user makes, not private to the program.
            const mode_t mask = ::umask(0);
            ::umask(mask);
            struct stat status;
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
            QCOMPARE(status.st_mode & 0777, 0666 & ~mask);
        } else {
            // Nothing new, nothing changed: not at the path, not beside it, not where a link points.
            QCOMPARE(entries(dir.path()) + entries(folder), entriesBefore);
            QCOMPARE(readFile(path), bytesBefore);
            QVERIFY(entries(outside.path()).isEmpty());
        }
    }

    // A run of writes with one writer, as an export writes its pages, over files that stand
    // before ("b" with a second name elsewhere): new files between, the same file again, another
    // folder. Every file ends with exactly its own content, the second name keeps the old
    // content, and nothing else is left in the folders.
    void runOfFiles()
    {
        const QStringList names { "a", "x", "a", "sub/a", "b", "sub/b" };
        const QStringList linked { "b" };
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QMap<QString, QByteArray> expected;
        for (const QString name : { "a", "b", "c", "sub/a", "sub/b" }) {
            expected[name] = "old " + name.toUtf8();
            QVERIFY(writeFile(dir.filePath(name), expected[name]));
        }
        for (const QString& name : linked)
            QVERIFY(::link(QFile::encodeName(dir.filePath(name)).constData(),
                        QFile::encodeName(elsewhere.filePath("linked-" + name)).constData())
                == 0);
        const auto files = [&dir] {
            QMap<QString, QByteArray> found;
            QDirIterator it(
                dir.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                found[QDir(dir.path()).relativeFilePath(path)] = readFile(path);
            }
            return found;
        };
        {
            WholeFileWriter writer;
            for (const QString& name : names) {
                expected[name] = "new " + name.toUtf8();
                QCOMPARE(writer.write(dir.filePath(name), expected[name]), WholeFileWrite::Written);
            }
            for (const QString& name : expected.keys())
                QCOMPARE(readFile(dir.filePath(name)), expected[name]);
        }
        QCOMPARE(files(), expected);
        for (const QString& name : linked)
            QCOMPARE(readFile(elsewhere.filePath("linked-" + name)), "old " + name.toUtf8());
    }

    // A write the disk refuses part way (here: the file size limit) keeps the old page
    // whole and leaves no part of the new one.
    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("seite.html");
        QVERIFY(writeFile(path, "die alte Seite"));

        struct rlimit limit;
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        struct rlimit small = limit;
        small.rlim_cur = 64;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const WholeFileWrite result = writeWholeFile(path, QByteArray(4096, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(result, WholeFileWrite::Failed);
        QCOMPARE(readFile(path), QByteArray("die alte Seite"));
        QCOMPARE(entries(dir.path()), QStringList { "seite.html" });
    }
};

QTEST_GUILESS_MAIN(TestReportFiles)
#include "test_report_files.moc"
