#pragma once

// Window placement and layout are reckoned in twips (1/1440 inch), as Kestrel
// always did; this is the one place that turns them into pixels and back.
class Twips {
public:
    // Twips per pixel: 1440 / the primary screen's logical DPI (15 at 96 DPI).
    // Falls back to 15 before the application has a screen.
    static double perPixelX();
    static double perPixelY();

    // Rounded to the nearest pixel.
    static int toPixelsX(double twips);
    static int toPixelsY(double twips);
    static double fromPixelsX(int pixels);
    static double fromPixelsY(int pixels);

    // Tests may fix the factor to make their arithmetic independent of the
    // screen; 0 goes back to asking the screen.
    static void overridePerPixel(double twipsPerPixel);
};
