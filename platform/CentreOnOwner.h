#pragma once

class QWidget;

// Places a dialog in the middle of its owner's window, frames included:
// dialog left = owner left + (owner width - dialog width) / 2, and the same
// for the top. Nothing happens without an owner.
void CentreOnOwner(QWidget& dialog, const QWidget* owner);
