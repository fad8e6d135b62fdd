// The states a control takes that both the models and each face's controls name.
#pragma once

namespace zorvik {

// A check box's three states; Grey counts as not checked and only the program sets it.
enum class CheckState { Unchecked, Checked, Grey };

// Which side of its edit an up-down's arrows stand.
enum class TUDAlignButton { udLeft, udRight };

}  // namespace zorvik
