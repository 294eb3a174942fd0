#include "widgets/uCursors.h"

#include <QPixmap>

#include "platform/uExceptions.h"
#include "platform/uMessages.h"

namespace {

struct TCursorImage {
    TCursorId Id;
    const char* Name;
};

// Index = id - 1.
constexpr std::array<TCursorImage, 3> CursorImages = { { { TCursorId::HandOver, "CURHANDOVER" },
    { TCursorId::HandGrab, "CURHANDGRAB" }, { TCursorId::SetPosition, "CURSETPOS" } } };

size_t IndexOf(TCursorId id) { return static_cast<size_t>(id) - 1; }

} // namespace

QCursor LoadCursor(const QString& name)
{
    const QPixmap image(QStringLiteral(":/cursors/") + name + QStringLiteral(".png"));
    if (image.isNull())
        throw Exception(Tr(Msg::UnableToLoadCursor).arg(name));
    // Every image is drawn around its centre: the hands grab there, the cross marks it.
    return QCursor(image, image.width() / 2 - 1, image.height() / 2 - 1);
}

TCursors::TCursors()
{
    for (const TCursorImage& image : CursorImages)
        Cursors[IndexOf(image.Id)] = LoadCursor(QLatin1String(image.Name));
}

const QCursor& TCursors::Cursor(TCursorId id) const { return Cursors.at(IndexOf(id)); }
