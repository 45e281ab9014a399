#include "app/PaneLayout.h"

namespace {

std::optional<double> size(double value)
{
    if (value < 0)
        return std::nullopt;
    return value;
}

} // namespace

PaneLayout::Result PaneLayout::compute(const Input& in)
{
    Result r;
    double x = in.x;
    if (x < MinimumSplit)
        x = MinimumSplit;
    if (x > in.windowWidth - MinimumSplit)
        x = in.windowWidth - MinimumSplit;
    r.split = x;

    r.treeWidth = size(x);
    r.splitterLeft = x;
    r.listLeft = x + 40;
    // The list's right edge stays 100 inside the window's outer width.
    r.listWidth = size(in.windowWidth - (x + 140));

    r.title0Width = r.treeWidth;
    r.title1Left = r.listLeft + 20;
    if (r.listWidth)
        r.title1Width = size(*r.listWidth - 40);

    r.paneTop = in.toolbarVisible ? in.toolbarHeight + in.titlesHeight : in.titlesHeight;
    const double above = in.titlesTop + in.titlesHeight;
    r.paneHeight = size(in.statusBarVisible ? in.clientHeight - (above + in.statusBarHeight)
                                            : in.clientHeight - above);
    return r;
}
