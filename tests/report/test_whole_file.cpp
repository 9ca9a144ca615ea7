// A file put in place whole: its bytes exactly, or on failure nothing new anywhere.
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

class TestWholeFile : public QObject {
    Q_OBJECT
private slots:
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

    void runOfFiles_data()
    {
        // A run of writes with one writer, as an export writes its pages: "a", "b" and "c"
        // stand in the folder before (each with a second name "linked-" + name elsewhere
        // where marked), then each listed name is written with content "new " + name.
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("linked");
        QTest::newRow("new files between") << QStringList { "a", "x", "b", "y", "c" } << QStringList();
        QTest::newRow("the same file again") << QStringList { "a", "a", "b", "a" } << QStringList();
        QTest::newRow("a file with a second name between")
            << QStringList { "a", "b", "c" } << QStringList { "b" };
        QTest::newRow("into two folders") << QStringList { "a", "sub/a", "b", "sub/b" } << QStringList();
    }

    // Every file ends with exactly its own content, a file with a second name elsewhere
    // keeps its old content under that name, and nothing else is left in the folders.
    void runOfFiles()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, linked);
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

QTEST_GUILESS_MAIN(TestWholeFile)
#include "test_whole_file.moc"
