#pragma once

#include <optional>

// The arithmetic that places the panes of the main window for a split at x,
// all in twips. Each property is computed on its own; one that would be
// impossible (a negative width or height, as in a window too short for its
// bars) is left out, and the window keeps that property's previous value while
// the others still change.
class PaneLayout {
public:
    struct Input {
        double x = 0;              // the requested split
        double windowWidth = 0;    // outer width of the window
        double clientHeight = 0;   // height inside the frame, below the menu bar
        bool toolbarVisible = true;
        double toolbarHeight = 420;
        double titlesTop = 420;    // where the title strip stands now
        double titlesHeight = 300;
        bool statusBarVisible = true;
        double statusBarHeight = 0;
    };

    struct Result {
        double split = 0;          // x after clamping
        std::optional<double> treeWidth;
        double splitterLeft = 0;
        double listLeft = 0;
        std::optional<double> listWidth;
        std::optional<double> title0Width;
        double title1Left = 0;
        std::optional<double> title1Width;
        double paneTop = 0;        // tree, list and splitter
        std::optional<double> paneHeight;
    };

    static constexpr double MinimumSplit = 1500;  // settled panes keep this far from the edges
    static constexpr double DragMargin = 500;     // the drag bar may come this close
    static constexpr double MinimumWindowWidth = 3000;

    static Result compute(const Input& in);
};
