#pragma once

#include <QModelIndex>

#include <functional>

// Asked by the file list's views before an in-place edit begins; false stops it.
using FileItemEditHook = std::function<bool(const QModelIndex& index)>;
// Asked by the views when Return is pressed on the current item (outside an edit).
using FileItemOpenHook = std::function<void()>;
