#include "data/note_drag.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

namespace sorvel {

namespace {
constexpr quint32 kDragFormat = 1;
}  // namespace

QByteArray encodeDraggedNotes(const std::vector<DraggedNote>& notes) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kDragFormat << quint32(notes.size());
    for (const DraggedNote& n : notes)
        out << qint32(n.year) << qint32(n.month) << qint32(n.day)
            << QByteArray(n.caption.data(), static_cast<qsizetype>(n.caption.size()))
            << QByteArray(n.text.data(), static_cast<qsizetype>(n.text.size()));
    return bytes;
}

std::optional<std::vector<DraggedNote>> readDraggedNotes(const QMimeData& mime) {
    const QString type = QString::fromLatin1(kNotesMimeType);
    if (!mime.hasFormat(type)) return std::nullopt;
    const QByteArray bytes = mime.data(type);
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 format = 0, count = 0;
    in >> format >> count;
    if (in.status() != QDataStream::Ok || format != kDragFormat) return std::nullopt;
    std::vector<DraggedNote> notes;
    // Each note takes at least 20 bytes: a count beyond that is damage, not a reason to allocate.
    if (count > static_cast<quint32>(bytes.size() / 20)) return std::nullopt;
    notes.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        qint32 y = 0, m = 0, d = 0;
        QByteArray caption, text;
        in >> y >> m >> d >> caption >> text;
        if (in.status() != QDataStream::Ok) return std::nullopt;
        notes.push_back(DraggedNote{y, m, d, caption.toStdString(), text.toStdString()});
    }
    return notes;
}

}  // namespace sorvel
