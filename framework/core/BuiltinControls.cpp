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
#include "UIDateTime.h"
#include "UIEdit.h"
#include "UIFadeButton.h"
#include "UIFlash.h"
#include "UIGifAnim.h"
#include "UIGroupBox.h"
#include "UIHorizontalLayout.h"
#include "UIHotKey.h"
#include "UIIPAddress.h"
#include "UIIPAddressEx.h"
#include "UILabel.h"
#include "UIList.h"
#include "UIListContainerElement.h"
#include "UIListHeader.h"
#include "UIListHeaderItem.h"
#include "UIListLabelElement.h"
#include "UIListTextElement.h"
#include "UIMenu.h"
#include "UIMenuElement.h"
#include "UIOption.h"
#include "UIProgress.h"
#include "UIRichEdit.h"
#include "UIRing.h"
#include "UIRollText.h"
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
    factory.RegistControl(L"CEditUI", CreateEditControl);
    factory.RegistControl(L"CDateTimeUI", CreateDateTimeControl);
    factory.RegistControl(L"CIPAddressUI", CreateIPAddressControl);
    factory.RegistControl(L"CIPAddressExUI", CreateIPAddressExControl);
    factory.RegistControl(L"CFadeButtonUI", CreateFadeButtonControl);
    factory.RegistControl(L"CRingUI", CreateRingControl);
    factory.RegistControl(L"CRollTextUI", CreateRollTextControl);
    factory.RegistControl(L"CGroupBoxUI", CreateGroupBoxControl);
    factory.RegistControl(L"CAnimationTabLayoutUI", CreateAnimationTabLayoutControl);
    factory.RegistControl(L"CChildLayoutUI", CreateChildLayoutControl);
    factory.RegistControl(L"CHorizontalLayoutUI", CreateHorizontalLayoutControl);
    factory.RegistControl(L"CTabLayoutUI", CreateTabLayoutControl);
    factory.RegistControl(L"CTileLayoutUI", CreateTileLayoutControl);
    factory.RegistControl(L"CVerticalLayoutUI", CreateVerticalLayoutControl);
    factory.RegistControl(L"CListUI", CreateListControl);
    factory.RegistControl(L"CListHeaderUI", CreateListHeaderControl);
    factory.RegistControl(L"CListHeaderItemUI", CreateListHeaderItemControl);
    factory.RegistControl(L"CListLabelElementUI", CreateListLabelElementControl);
    factory.RegistControl(L"CListTextElementUI", CreateListTextElementControl);
    factory.RegistControl(L"CListContainerElementUI", CreateListContainerElementControl);
    factory.RegistControl(L"CMenuUI", CreateMenuControl);
    factory.RegistControl(L"CMenuElementUI", CreateMenuElementControl);
    factory.RegistControl(L"CActiveXUI", CreateActiveXControl);
    factory.RegistControl(L"CWebBrowserUI", CreateWebBrowserControl);
    factory.RegistControl(L"CFlashUI", CreateFlashControl);
    factory.RegistControl(L"CHotKeyUI", CreateHotKeyControl);
    factory.RegistControl(L"CRichEditUI", CreateRichEditControl);
}

}  // namespace HiveUI
