#include "widgets/keys.h"

#include <QShortcut>
#include <QWidget>

namespace popchan {

void on_key(QWidget* window, const QKeySequence& key, std::function<void()> action) {
    auto* shortcut = new QShortcut(key, window);
    QObject::connect(shortcut, &QShortcut::activated, window, std::move(action));
}

void close_on_escape(QWidget* window, const QKeySequence& also) {
    on_key(window, QKeySequence(Qt::Key_Escape), [window] { window->close(); });
    if (!also.isEmpty()) on_key(window, also, [window] { window->close(); });
}

} // namespace popchan
