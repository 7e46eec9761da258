#pragma once

class QWidget;

namespace parvex {

class TDmsg;
class TFsure;
class TF_ft;
class TD_file_group_info;
class TF_about;

/// The single dialog objects that every part of the program shares from start to end.
struct TSharedDialogs {
    TDmsg* Dmsg = nullptr;
    TFsure* Fsure = nullptr;
    TF_ft* F_ft = nullptr;
    TD_file_group_info* D_file_group_info = nullptr;
    TF_about* F_about = nullptr;
};

/// Creates the shared dialogs in the program's start order, owned by (and centred over) owner.
TSharedDialogs CreateSharedDialogs(QWidget* owner);

} // namespace parvex
