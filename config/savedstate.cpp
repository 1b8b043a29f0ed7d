#include "savedstate.h"

SavedState SavedState::defaults()
{
    SavedState state;
    for (int i = 0; i < kWindowCount; ++i) {
        state.WindowLeft[i] = 330 * i;
        state.WindowTop[i] = 330 * i;
    }
    for (int i = 0; i < kAutomationButtonCount; ++i)
        // untranslated: written into tavel.cfg, which reads the same in every language
        state.AutomationButtons[i].Caption = QStringLiteral("Senden %1").arg(i + 1);
    return state;
}
