#include "win32/toolkit/peers/MakePeer.h"

#include "win32/toolkit/peers/ButtonPeers.h"
#include "win32/toolkit/peers/EditPeers.h"
#include "win32/toolkit/peers/FormPeer.h"
#include "win32/toolkit/peers/LabelPeer.h"
#include "win32/toolkit/peers/PagePeers.h"
#include "win32/toolkit/peers/PicturePeers.h"
#include "win32/toolkit/peers/ProgressBarPeer.h"
#include "win32/toolkit/peers/SliderPeer.h"

namespace lumora::win32 {

std::unique_ptr<NativeControl> MakePeer(Toolkit& kit, TControl& model)
{
    switch (model.Kind()) {
    case ControlKind::Form: return std::make_unique<FormPeer>(kit, model);
    case ControlKind::PageControl: return std::make_unique<PageControlPeer>(kit, model);
    case ControlKind::TabSheet: return std::make_unique<TabSheetPeer>(kit, model);
    case ControlKind::Button: return std::make_unique<ButtonPeer>(kit, model);
    case ControlKind::Label: return std::make_unique<LabelPeer>(kit, model);
    case ControlKind::GroupBox: return std::make_unique<GroupBoxPeer>(kit, model);
    case ControlKind::CheckBox: return std::make_unique<CheckBoxPeer>(kit, model);
    case ControlKind::Slider: return std::make_unique<SliderPeer>(kit, model);
    case ControlKind::SpinEdit: return std::make_unique<SpinEditPeer>(kit, model);
    case ControlKind::ComboBox: return std::make_unique<ComboBoxPeer>(kit, model);
    case ControlKind::ProgressBar: return std::make_unique<ProgressBarPeer>(kit, model);
    case ControlKind::Edit: return std::make_unique<EditPeer>(kit, model);
    case ControlKind::Image: return std::make_unique<ImagePeer>(kit, model);
    case ControlKind::SpeedButton: return std::make_unique<SpeedButtonPeer>(kit, model);
    }
    return nullptr;
}

}  // namespace lumora::win32
