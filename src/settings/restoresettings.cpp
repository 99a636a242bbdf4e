#include "restoresettings.h"

#include "settingsstore.h"
#include "twips.h"
#include "version.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;
using Key = SettingsStore::Key;

namespace {

// Window systems keep window coordinates in 16 bits; a stored value beyond that was not
// written by this program.
constexpr double kMaxPixels = 32767.0;
// A window that shows less of itself than this many pixels across or down on the screen area
// cannot be grabbed by its title bar.
constexpr int kGripPixels = 48;
// The point sizes a font dialog offers.
constexpr double kMinFontPoints = 1.0;
constexpr double kMaxFontPoints = 1638.0;
// The character-set codes a font can carry.
constexpr std::array kKnownCharsets{0,   1,   2,   77,  128, 129, 130, 134, 136, 161,
                                    162, 163, 177, 178, 186, 204, 222, 238, 255};

// The stored length in twips as pixels; nothing when absent or outside minPixels to
// kMaxPixels.
std::optional<int> StoredPixels(const SettingsStore& store, Key key, double minPixels)
{
    const std::optional<double> twips = store.Number(key);
    if (!twips)
        return std::nullopt;
    const double pixels = *twips / kTwipsPerPixel; // the store keeps twips
    if (pixels < minPixels || pixels > kMaxPixels)
        return std::nullopt;
    return qRound(pixels);
}

// True for a character-set code a font can carry.
bool IsKnownCharset(double code)
{
    return std::find(kKnownCharsets.begin(), kKnownCharsets.end(), code) != kKnownCharsets.end();
}

// The parts of the outer window rectangle that the store holds usable values for.
struct StoredOuter
{
    std::optional<int> left, top, height, width;
    QSize minimum; // the window's smallest inner size

    // Without a stored position the window manager keeps placing the window.
    bool Moves() const { return left || top; }
};

// The available area (the screen less its panels) of the screen that shows the most of the
// outer rectangle, or of the primary screen when none shows any of it.
QRect AvailableArea(const QRect& outer)
{
    QRect best;
    qint64 bestShown = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(outer);
        const qint64 pixels = qint64(shown.width()) * shown.height();
        if (pixels > bestShown) {
            bestShown = pixels;
            best = screen->availableGeometry();
        }
    }
    if (bestShown > 0)
        return best;
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->availableGeometry() : outer;
}

// The outer rectangle made no larger than the area, with its top edge (the title bar) not above
// the area. A rectangle that had to be made smaller, or that shows too little of itself on the
// area to be grabbed, is moved wholly onto it; one the user left partly off the screen stays.
QRect FitToArea(QRect outer, const QRect& area)
{
    const QSize fitted = outer.size().boundedTo(area.size());
    const bool shrunk = fitted != outer.size();
    outer.setSize(fitted);
    const QRect shown = outer.intersected(area);
    if (shrunk || shown.width() < std::min(kGripPixels, outer.width()) ||
        shown.height() < std::min(kGripPixels, outer.height()))
        outer.moveTo(std::clamp(outer.x(), area.left(), area.right() + 1 - outer.width()),
                     std::clamp(outer.y(), area.top(), area.bottom() + 1 - outer.height()));
    outer.moveTop(std::max(outer.top(), area.top()));
    return outer;
}

// Gives the window the stored parts of its outer rectangle, the others as they are, fitted to
// the screen area it lands on. move() places the frame but resize() sets the inner size, so
// the size needs the frame's extent, which the window manager makes known only once the window
// is shown. False while the frame is not known.
bool FitOuter(QWidget& window, const StoredOuter& stored)
{
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    QRect outer(stored.left.value_or(frame.x()), stored.top.value_or(frame.y()),
                stored.width.value_or(frame.width()), stored.height.value_or(frame.height()));
    outer.setSize(outer.size().expandedTo(stored.minimum + (frame.size() - inner.size())));
    outer = FitToArea(outer, AvailableArea(outer));
    window.resize(outer.size() - (frame.size() - inner.size()));
    if (stored.Moves())
        window.move(outer.topLeft());
    return frame != inner;
}

// Fits the stored parts again once the window has its frame, then goes away.
class FrameFit : public QObject
{
  public:
    FrameFit(QWidget& window, const StoredOuter& stored)
        : QObject(&window), m_window(window), m_stored(stored)
    {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == &m_window &&
            (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) &&
            m_window.frameGeometry() != m_window.geometry()) {
            m_window.removeEventFilter(this);
            FitOuter(m_window, m_stored);
            deleteLater();
        }
        return false;
    }

  private:
    QWidget& m_window;
    StoredOuter m_stored;
};

// Puts the window's outer rectangle where it was stored, made no smaller than the window's
// minimum inner size and fitted to the screen it lands on; nothing stored leaves it as it is.
// Where the window's frame is not known before it is shown, the fit follows once it is.
void RestoreGeometry(const SettingsStore& store, QWidget& window, QSize minimum)
{
    const StoredOuter stored{
        StoredPixels(store, Key::PosX, -kMaxPixels), StoredPixels(store, Key::PosY, -kMaxPixels),
        StoredPixels(store, Key::PosH, 1), StoredPixels(store, Key::PosW, 1), minimum};
    if (!stored.Moves() && !stored.height && !stored.width)
        return;
    if (!FitOuter(window, stored))
        new FrameFit(window, stored);
}

// font with each stored value that is present and usable; bold only when stored as "1".
bVarious::PaneFont RestoreFont(const SettingsStore& store, bVarious::PaneFont font)
{
    if (const std::optional<QString> name = store.Text(Key::Font);
        name && !name->trimmed().isEmpty())
        font.font.setFamily(*name);
    if (const std::optional<double> size = store.Number(Key::Size);
        size && *size >= kMinFontPoints && *size <= kMaxFontPoints)
        font.font.setPointSizeF(*size);
    if (const std::optional<double> charset = store.Number(Key::Charset);
        charset && IsKnownCharset(*charset))
        font.charset = static_cast<int>(*charset);
    // Only the exact text "1" is bold; an absent key counts as "0".
    font.font.setBold(store.Text(Key::Bold).value_or(u"0"_s) == u"1"_s);
    return font;
}

// A length in pixels as the store keeps it, in twips.
float ToTwips(int pixels)
{
    return static_cast<float>(PixelsToTwips(pixels));
}

} // namespace

namespace bVarious {

PaneFont RestoreSettings(QWidget& window, QPlainTextEdit& pane, int charset, bool& resultChanged,
                         QSize minimumSize)
{
    pane.setLineWrapMode(QPlainTextEdit::NoWrap);
    const SettingsStore store;
    RestoreGeometry(store, window, minimumSize);
    const PaneFont restored = RestoreFont(store, {pane.font(), charset});
    window.setWindowTitle(QStringLiteral(LUMATRA_NAME " v" LUMATRA_VERSION));
    resultChanged = false;
    return restored;
}

bool StoreSettings(const QWidget& window, const PaneFont& paneFont)
{
    SettingsStore store;
    // A minimized window's rectangle is the icon's; the earlier geometry stays.
    if (!window.isMinimized()) {
        const QRect outer = window.frameGeometry();
        store.SetNumber(Key::PosX, ToTwips(outer.x()));
        store.SetNumber(Key::PosY, ToTwips(outer.y()));
        store.SetNumber(Key::PosH, ToTwips(outer.height()));
        store.SetNumber(Key::PosW, ToTwips(outer.width()));
    }
    const QFont& font = paneFont.font;
    store.SetText(Key::Font, font.family());
    store.SetNumber(Key::Size, font.pointSizeF());
    store.SetNumber(Key::Charset, paneFont.charset);
    store.SetText(Key::Bold, font.bold() ? u"1"_s : u"0"_s);
    return store.Sync();
}

} // namespace bVarious
