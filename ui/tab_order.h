#pragma once

class QWidget;

/// Puts the Tab order of a window's controls in the order a reader meets them: the fields from
/// top to bottom (left to right within a row), then the push buttons in the same order. Controls
/// that are inside another one (a combo box's line edit) keep following it.
void OrderTabsTopToBottom(QWidget* window);

/// Whether Tab stops at `widget` in `window` on its own account: it takes the focus by Tab, is
/// shown, and is not part of a combo box or a spin box.
bool IsOwnTabStop(const QWidget* widget, const QWidget* window);
