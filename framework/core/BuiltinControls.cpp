// The built-in control classes in registration order, one line each.
#include "ControlFactory.h"
#include "UIActiveX.h"
#include "UIAnimationTabLayout.h"
#include "UIButton.h"
#include "UICheckBox.h"
#include "UIChildLayout.h"
#include "UIColorPalette.h"
#include "UIContainer.h"
#include "UIControl.h"
#include "UIFlash.h"
#include "UIGifAnim.h"
#include "UIHorizontalLayout.h"
#include "UILabel.h"
#include "UIOption.h"
#include "UIProgress.h"
#include "UIScrollBar.h"
#include "UISlider.h"
#include "UITabLayout.h"
#include "UIText.h"
#include "UITileLayout.h"
#include "UIVerticalLayout.h"
#include "UIWebBrowser.h"

namespace HiveUI {

void RegisterBuiltinControls(CControlFactory& factory) {
    factory.RegistControl(L"CControlUI", CreateControlControl);
    factory.RegistControl(L"CContainerUI", CreateContainerControl);
    factory.RegistControl(L"CLabelUI", CreateLabelControl);
    factory.RegistControl(L"CScrollBarUI", CreateScrollBarControl);
    factory.RegistControl(L"CTextUI", CreateTextControl);
    factory.RegistControl(L"CButtonUI", CreateButtonControl);
    factory.RegistControl(L"COptionUI", CreateOptionControl);
    factory.RegistControl(L"CCheckBoxUI", CreateCheckBoxControl);
    factory.RegistControl(L"CProgressUI", CreateProgressControl);
    factory.RegistControl(L"CSliderUI", CreateSliderControl);
    factory.RegistControl(L"CColorPaletteUI", CreateColorPaletteControl);
    factory.RegistControl(L"CGifAnimUI", CreateGifAnimControl);
    factory.RegistControl(L"CAnimationTabLayoutUI", CreateAnimationTabLayoutControl);
    factory.RegistControl(L"CChildLayoutUI", CreateChildLayoutControl);
    factory.RegistControl(L"CHorizontalLayoutUI", CreateHorizontalLayoutControl);
    factory.RegistControl(L"CTabLayoutUI", CreateTabLayoutControl);
    factory.RegistControl(L"CTileLayoutUI", CreateTileLayoutControl);
    factory.RegistControl(L"CVerticalLayoutUI", CreateVerticalLayoutControl);
    factory.RegistControl(L"CActiveXUI", CreateActiveXControl);
    factory.RegistControl(L"CWebBrowserUI", CreateWebBrowserControl);
    factory.RegistControl(L"CFlashUI", CreateFlashControl);
}

}  // namespace HiveUI
