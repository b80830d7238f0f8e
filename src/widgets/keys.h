// The keys users expect of every desktop window.
#pragma once

#include <QKeySequence>
#include <functional>

class QWidget;

namespace popchan {

// `key` anywhere in `window` runs `action`.
void on_key(QWidget* window, const QKeySequence& key, std::function<void()> action);
// Esc (and any further keys given) closes `window`.
void close_on_escape(QWidget* window, const QKeySequence& also = {});

} // namespace popchan
