#include "main/shared_dialogs.h"

#include "dialogs/about.h"
#include "dialogs/file_group_info.h"
#include "dialogs/ft.h"
#include "dialogs/msg.h"
#include "dialogs/sure.h"

namespace parvex {

TSharedDialogs CreateSharedDialogs(QWidget* owner) {
    TSharedDialogs dialogs;
    dialogs.Dmsg = new TDmsg(owner);
    dialogs.Fsure = new TFsure(owner);
    dialogs.F_ft = new TF_ft(nullptr, owner);
    dialogs.D_file_group_info = new TD_file_group_info(owner);
    dialogs.F_about = new TF_about(owner);
    return dialogs;
}

} // namespace parvex
