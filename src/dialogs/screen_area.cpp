#include "dialogs/screen_area.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace parvex {

namespace {

// Room for the title bar and borders a window manager draws around a window.
constexpr QSize kFrame(16, 48);

QRect ScreenArea(const QWidget& widget) {
    const QScreen* screen = widget.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

TAreaSource& Source() {
    static TAreaSource source = ScreenArea;
    return source;
}

// The parent window shown: the window to centre over.
const QWidget* ShownParent(const QWidget& widget) {
    const QWidget* parent =
        widget.parentWidget() != nullptr ? widget.parentWidget()->window() : nullptr;
    return parent != nullptr && parent->isVisible() ? parent : nullptr;
}

// The frame the window manager draws around a window: as around the parent window once that
// shows, else an allowance for a title bar and borders.
QSize FrameOf(const QWidget& widget) {
    if (const QWidget* parent = ShownParent(widget))
        return parent->frameGeometry().size() - parent->size();
    return kFrame;
}

} // namespace

QRect AvailableArea(const QWidget& widget) {
    return Source()(widget);
}

TAreaSourceOverride::TAreaSourceOverride(TAreaSource source)
    : before_(std::exchange(Source(), std::move(source))) {}

TAreaSourceOverride::~TAreaSourceOverride() {
    Source() = std::move(before_);
}

QSize ClientRoom(const QWidget& widget) {
    return (AvailableArea(widget).size() - FrameOf(widget)).expandedTo(QSize(1, 1));
}

void FitIntoAvailableArea(QWidget& window) {
    const QRect area = AvailableArea(window);
    const QSize room = ClientRoom(window);
    QLayout* layout = window.layout();
    // A layout that holds the window at its minimum would not let the minimum yield.
    if (layout != nullptr && layout->sizeConstraint() == QLayout::SetMinimumSize)
        layout->setSizeConstraint(QLayout::SetDefaultConstraint);
    if (layout != nullptr)
        layout->activate();
    if (layout == nullptr || layout->sizeConstraint() != QLayout::SetFixedSize) {
        const QSize least = layout != nullptr ? layout->totalMinimumSize() : window.minimumSize();
        window.setMinimumSize(least.boundedTo(room));
        const QSize wanted =
            window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
        window.resize(wanted.expandedTo(window.minimumSize()).boundedTo(room));
    }
    const QWidget* over = ShownParent(window);
    const QPoint centre = over != nullptr ? over->frameGeometry().center() : area.center();
    QRect placed(QPoint(), window.size() + FrameOf(window));
    placed.moveCenter(centre);
    placed.moveLeft(std::clamp(placed.left(), area.left(),
                               std::max(area.left(), area.right() + 1 - placed.width())));
    placed.moveTop(std::clamp(placed.top(), area.top(),
                              std::max(area.top(), area.bottom() + 1 - placed.height())));
    // For a window, the position is that of its frame's top-left corner.
    window.move(placed.topLeft());
}

} // namespace parvex
