#pragma once

#include <QByteArray>
#include <QString>

namespace odomira {

enum class WholeFileWrite {
    Written,
    SymbolicLink, // a symbolic link stands at the path; it is left as it is
    Failed, // the folder, the disk or the file system refused; the path holds what it held before
};

// Puts whole files in place, each written in one go to a file of its own in the target's
// folder, which then takes the place of whatever file stood at the path. A failure anywhere
// leaves no part-written file behind, neither at the path nor beside it. A symbolic link at
// the path is refused, not written through. A new file gets the usual permissions (0666
// less the umask).
//
// The file a replace displaces is kept, under a hidden name, and emptied and written for the
// next file of the same folder: a run of pages then makes and frees no file-system entries,
// which costs more than the writing itself on large folders. A displaced file with a second
// name elsewhere (a hard link) is never reused, so that other name keeps what it showed. The
// kept file goes when the writer does.
//
// Nothing is synced to disk: what is written here is made again from the logbook in one
// click, and the replace already keeps a failed write from leaving half a file where a
// reader looks.
class WholeFileWriter {
public:
    WholeFileWriter() = default;
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    WholeFileWrite write(const QString& path, const QByteArray& content);

private:
    // Opens the kept file for the next write into `folder`, emptied; -1 when there is none
    // to reuse (then it is gone).
    int takeSpare(const QByteArray& folder, QByteArray* name);
    void dropSpare();

    QByteArray m_spare; // path of the kept file, empty for none
    QByteArray m_spareFolder;
};

// One file put in place as WholeFileWriter does.
WholeFileWrite writeWholeFile(const QString& path, const QByteArray& content);

} // namespace odomira
