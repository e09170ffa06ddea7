// The copies and collation the printer dialog ended with. Where they are
// reported depends on the driver: the dialog's own record holds them when
// the program makes the copies (and ticks collation only when the driver
// cannot collate), the device settings when the driver makes them.
#pragma once

struct CopiesReport {
    int dialogCopies;      // the dialog record's copy count
    bool dialogCollate;    // its collate flag
    bool deviceHasCopies;  // the device settings carry a copy count
    int deviceCopies;      // ... this one
    bool deviceHasCollate; // the device settings carry a collation choice
    bool deviceCollate;    // ... collated
};

// The copy count asked for: the larger of the two reports.
int ChosenCopyCount(const CopiesReport& report);
// Several copies that neither report says are collated: the program sends
// each copy whole, one after the other, so it cannot print them otherwise.
bool CopiesUncollated(const CopiesReport& report);
