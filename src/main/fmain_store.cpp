#include "_compearer/panel/ocompearer.h"
#include "comparison_store/comparison_store.h"
#include "comparison_store/store_memory.h"
#include "dialogs/settings_user.h"
#include "main/fmain.h"

#include <QFile>
#include <QLineEdit>

namespace parvex {

void TFmain::StartRemembering() {
    // A search that ended by an error left its store behind.
    RetireStore();
    if (D_settings_user && !D_settings_user->ReadRememberCompared())
        return;
    TCompearerCore& core = Ocompearer1->Core();
    TStoreSettings settings;
    settings.CoveredFolders = {QFile::encodeName(Edit_root->text()).toStdString()};
    storeMemory_ = std::make_unique<TStoreMemory>(core, std::move(settings));
    core.Memory = storeMemory_.get();
}

void TFmain::RetireStore() {
    Ocompearer1->Core().Memory = nullptr;
    if (!storeMemory_)
        return;
    WaitForStore();
    // The last write waits for no window: the store's warning comes to the status text later.
    std::shared_ptr<TStoreMemory> memory(std::move(storeMemory_));
    storeRetiring_ = std::async(std::launch::async, [this, memory] {
        memory->Finish();
        const QString warning = QFile::decodeName(QByteArray::fromStdString(memory->Warning()));
        if (!warning.isEmpty())
            QMetaObject::invokeMethod(
                this, [this, warning] { ShowHint(QStringLiteral("Warning: %1.").arg(warning)); },
                Qt::QueuedConnection);
    });
}

void TFmain::ForgetComparedFiles() {
    WaitForStore();
    storeRetiring_ = std::async(std::launch::async, [] {
        TComparisonStore::Remove(ComparisonStorePath(ComparisonStoreFolder()));
    });
}

void TFmain::WaitForStore() {
    if (storeRetiring_.valid())
        storeRetiring_.wait();
}

} // namespace parvex
