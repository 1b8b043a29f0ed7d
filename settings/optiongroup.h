#pragma once

#include <QRadioButton>
#include <array>

// A row of option buttons of which one is selected, addressed by index.
namespace OptionGroup {

// Selects the member at index; a stored index outside the group (a settings
// file edited by hand) selects the first member, so the window never fails.
template<std::size_t N>
void select(const std::array<QRadioButton *, N> &group, int index)
{
    if (index < 0 || index >= int(N))
        index = 0;
    group[index]->setChecked(true);
}

// The index of the first selected member, or -1 when none is.
template<std::size_t N>
int selected(const std::array<QRadioButton *, N> &group)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (group[i]->isChecked())
            return int(i);
    }
    return -1;
}

} // namespace OptionGroup
