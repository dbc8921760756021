#include "app/MainControlFactory.h"

#include "app/ColorLabel.h"
#include "app/CstmBitmapButton.h"
#include "app/CstmButton.h"
#include "app/IconLoader.h"
#include "app/MainControlsWx.h"
#include "app/MainLayoutTable.h"
#include "app/MainViewWindow.h"
#include "app/ThumbnailListBox.h"
#include "app/WxImage.h"
#include "resources/StringTable.h"

namespace {

unsigned TextFormat(uint32_t style) {
    const unsigned ellipsis = style & kMainTextEllipsis ? draw::kTextEndEllipsis : 0u;
    if (style & kMainTextRight)
        return draw::kTextRight | draw::kTextVCenter | ellipsis;
    if (style & kMainTextCentre)
        return draw::kTextCenter | draw::kTextVCenter | ellipsis;
    return draw::kTextLeft | draw::kTextVCenter | ellipsis;
}

// The fonts the main dialog gives its controls; every other control keeps the 12-point font.
const draw::Font& FontOf(int id, const MainDialogFonts& f) {
    switch (id) {
        case 1001:
        case 1007:
        case 1032:
        case 1194:
        case 1195:
            return f.m_font18B;
        case 1018:
        case 1165:
            return f.m_font14;
        case 1021:
            return f.m_font18;
        case 1196:
            return f.m_font14B;
        default:
            return f.m_font12;
    }
}

}  // namespace

MainViewWindows CreateMainControls(wxWindow* parent, CMainControlsWx& controls,
                                   const MainDialogFonts& fonts) {
    MainViewWindows views;
    for (const MainControlPlacement& c : kMainControls) {
        const wxPoint pos(c.x, c.y);
        const wxSize size(c.width, c.height);
        const std::string caption = c.captionId ? resources::LoadString(c.captionId) : std::string();
        wxWindow* window = nullptr;
        switch (c.kind) {
            case MainControlKind::Toggle: {
                auto* b = new CCstmCheckBox(parent, c.id, caption, pos, size);
                b->m_font = FontOf(c.id, fonts);
                window = b;
                break;
            }
            case MainControlKind::Button: {
                auto* b = new CCstmButton(parent, c.id, caption, pos, size);
                b->m_font = FontOf(c.id, fonts);
                window = b;
                break;
            }
            case MainControlKind::BitmapButton: {
                auto* b =
                    new CCstmBitmapButton(parent, c.id, LoadIcon(c.pictureId, c.width, c.height), pos, size);
                b->m_bPictureIsFace = true;
                window = b;
                break;
            }
            case MainControlKind::ImageView: {
                auto* v = new CMainViewWindow(parent, c.id, pos, size);
                (c.id == 1011 ? views.main : c.id == 1012 ? views.left : views.right) = v;
                window = v;
                break;
            }
            case MainControlKind::Static: {
                auto* label = new CColorLabel(parent, c.id, caption, pos, size, TextFormat(c.style));
                label->SetFont(FontOf(c.id, fonts));
                window = label;
                break;
            }
            case MainControlKind::List:
                window = new CThumbnailListBox(parent, c.id, pos, size);
                break;
        }
        if (c.style & kMainHidden)
            window->Hide();
        if (c.style & kMainDisabled) {
            if (auto* b = dynamic_cast<CCstmButton*>(window))
                b->EnableButton(false);
            else
                window->Enable(false);
        }
        controls.Register(c.id, window);
    }
    if (auto* quit = dynamic_cast<CCstmButton*>(controls.Find(1032)))
        quit->m_nKind = 15;  // the Quit button's own colours
    return views;
}

void ApplyMainColours(CMainControlsWx& controls, const MainColours& colours) {
    for (const MainControlPlacement& c : kMainControls) {
        wxWindow* window = controls.Find(c.id);
        if (!window)
            continue;
        if (auto* label = dynamic_cast<CColorLabel*>(window)) {
            Colorref text = colours.text;
            if (c.id == 1194 || c.id == 1195)
                text = colours.accent2;
            else if (c.id == 1196)
                text = colours.accent;
            label->SetColourSource([text, back = colours.back] { return LabelColours{text, back}; });
        } else if (auto* button = dynamic_cast<CCstmButton*>(window)) {
            if (c.id == 1001 || c.id == 1007 || c.id == 1032)
                button->m_palette.focusBorder = static_cast<int>(colours.accent.value);
        } else {
            window->SetBackgroundColour(ToWxColour(colours.back));
            window->SetForegroundColour(ToWxColour(colours.text));
        }
        window->Refresh(false);
    }
}
