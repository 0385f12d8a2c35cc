#pragma once

// What screen readers see of the painted parts of the window: the file
// lists, the ticks of a review, the copies of a duplicate set, the Quick
// Search rows, the storage bar's segments, the toast with its Undo button,
// page titles as headings and the sidebar's rows with the page shown
// selected, and the preview panel with the file it shows. Everything else
// is made of ordinary widgets Qt already exposes.
class Accessibility final
{
public:
    // Installs the interfaces once per process; call before the first window shows.
    static void install();
};
