#include "engine/message_box.h"

#include "engine/catalogue.h"
#include "engine/catalogue_ids.h"
#include "engine/ops.h"

namespace {

void Show(HWND owner, const std::string& text, UINT icon)
{
    std::string caption;
    LoadCatalogueText(CAT_MSG_CAPTION, caption);
    g_ops.MessageBoxA(owner, text.c_str(), caption.c_str(), icon);
}

}  // namespace

void ShowCatalogueMessage(HWND owner, unsigned textId, UINT icon, const std::string& fallback)
{
    std::string text = fallback;
    LoadCatalogueText(textId, text);
    Show(owner, text, icon);
}

void ShowMessageAfter(HWND owner, const std::string& lead, unsigned textId, UINT icon)
{
    std::string tail;
    LoadCatalogueText(textId, tail);
    Show(owner, lead + tail, icon);
}
