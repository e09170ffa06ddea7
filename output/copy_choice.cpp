// The copies and collation of the printer dialog's answer.
#include "copy_choice.h"

int ChosenCopyCount(const CopiesReport& report) {
    int copies = report.dialogCopies;
    if (report.deviceHasCopies && report.deviceCopies > copies)
        copies = report.deviceCopies;
    return copies < 1 ? 1 : copies;
}

bool CopiesUncollated(const CopiesReport& report) {
    bool collated = report.dialogCollate || (report.deviceHasCollate && report.deviceCollate);
    return ChosenCopyCount(report) > 1 && !collated;
}
