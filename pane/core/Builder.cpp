#include "pane/core/Builder.h"

#include "pane/controls/Button.h"
#include "pane/controls/CheckBox.h"
#include "pane/controls/Combo.h"
#include "pane/controls/ComboBox.h"
#include "pane/controls/Edit.h"
#include "pane/controls/Label.h"
#include "pane/controls/List.h"
#include "pane/controls/Option.h"
#include "pane/controls/Progress.h"
#include "pane/controls/RichEdit.h"
#include "pane/controls/ScrollBar.h"
#include "pane/controls/Text.h"
#include "pane/controls/TreeView.h"
#include "pane/core/Container.h"
#include "pane/core/Control.h"
#include "pane/core/UIManager.h"
#include "pane/layouts/HorizontalLayout.h"
#include "pane/layouts/TabLayout.h"
#include "pane/layouts/VerticalLayout.h"
#include "platform/sys/Resource.h"
#include "platform/win/Window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Pane {

namespace {

// Attribute values are read with the markup's 499-character limit.
using ValueBuffer = char[CXmlDoc::kMaxValueLength + 1];

struct ClassEntry {
    const char* tag;
    CControlUI* (*make)();
};

template <class T>
CControlUI* Make() {
    return new T;
}

// The element names that make a control of their own; every control class adds its row.
const ClassEntry kClassTable[] = {
    {"Control", &Make<CControlUI>},
    {"Container", &Make<CContainerUI>},
    {"VerticalLayout", &Make<CVerticalLayoutUI>},
    {"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {"TabLayout", &Make<CTabLayoutUI>},
    {"Label", &Make<CLabelUI>},
    {"Text", &Make<CTextUI>},
    {"Button", &Make<CButtonUI>},
    {"Option", &Make<COptionUI>},
    {"CheckBox", &Make<CCheckBoxUI>},
    {"Edit", &Make<CEditUI>},
    {"Combo", &Make<CComboUI>},
    {"ComboBox", &Make<CComboBoxUI>},
    {"ScrollBar", &Make<CScrollBarUI>},
    {"Progress", &Make<CProgressUI>},
    {"RichEdit", &Make<CRichEditUI>},
    {"List", &Make<CListUI>},
    {"ListHeader", &Make<CListHeaderUI>},
    {"ListHeaderItem", &Make<CListHeaderItemUI>},
    {"ListTextElement", &Make<CListTextElementUI>},
    {"ListLabelElement", &Make<CListLabelElementUI>},
    {"ListContainerElement", &Make<CListContainerElementUI>},
    {"TreeView", &Make<CTreeViewUI>},
    {"TreeNode", &Make<CTreeNodeUI>},
};

// Two numbers separated by one character ("cx,cy"); numbers that do not parse read 0.
plat::SIZE ParseSize(const char* value) {
    int parts[2] = {};
    ParseInts(value, parts, 2);
    return plat::SIZE{parts[0], parts[1]};
}

// Four numbers separated by one character each ("l,t,r,b").
plat::RECT ParseRect(const char* value) {
    int parts[4] = {};
    ParseInts(value, parts, 4);
    return plat::RECT{parts[0], parts[1], parts[2], parts[3]};
}

// An attribute's whole value ("" when absent). A default attribute list easily runs past the
// 499 characters a value is otherwise read with: the skeleton's scroll-bar images alone take
// some 1,700, and a cut list loses its later attributes and ends in a malformed pair.
const char* WholeValue(CXmlElement element, const char* name) {
    const int count = element.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(element.GetAttributeName(i), name) == 0)
            return element.GetAttributeValue(i);
    }
    return "";
}

bool IsDeclaration(const char* name) {
    return std::strcmp(name, "Image") == 0 || std::strcmp(name, "Font") == 0 ||
           std::strcmp(name, "Default") == 0;
}

} // namespace

CControlUI* CreateControlOfClass(const char* tag) {
    if (tag == nullptr)
        return nullptr;
    for (const ClassEntry& entry : kClassTable) {
        if (std::strcmp(entry.tag, tag) == 0)
            return entry.make();
    }
    return nullptr;
}

CUIBuilder::CUIBuilder() {
    // Containers make their scroll bars by tag through the same table.
    SetControlFactory(&CreateControlOfClass);
}

CControlUI* CUIBuilder::Create(const char* xml, const char* type, IDialogBuilderCallback* callback,
                               CUIManager* manager, CControlUI* parent) {
    m_fromResource = false;
    m_resourceType.Empty();
    (void)type; // text and files carry no resource type
    if (xml == nullptr)
        return nullptr;
    const bool loaded = *xml == '<' ? m_xml.Load(xml) : m_xml.LoadFromFile(xml);
    if (!loaded)
        return nullptr;
    return Create(callback, manager, parent);
}

CControlUI* CUIBuilder::Create(int resource, const char* type, IDialogBuilderCallback* callback,
                               CUIManager* manager, CControlUI* parent) {
    m_fromResource = true;
    m_resourceType = type != nullptr ? type : "";
    const plat::ResourceData data = plat::FindResource(resource, type);
    if (data.Empty()) {
        m_xml.Release();
        return nullptr;
    }
    if (!m_xml.LoadFromMem(data.data, data.size))
        return nullptr;
    return Create(callback, manager, parent);
}

CControlUI* CUIBuilder::Create(IDialogBuilderCallback* callback, CUIManager* manager,
                               CControlUI* parent) {
    m_callback = callback;
    const CXmlElement root = m_xml.GetRoot();
    if (!root.IsValid())
        return nullptr;
    if (manager != nullptr) {
        ApplyDeclarations(root, manager);
        if (std::strcmp(root.GetName(), "Window") == 0 && manager->GetPaintWindow() != nullptr)
            ApplyWindowAttributes(root, manager);
    }
    bool aborted = false;
    CControlUI* first = Parse(root, parent, manager, m_nesting, &aborted);
    return aborted ? nullptr : first;
}

void CUIBuilder::ApplyDeclarations(CXmlElement root, CUIManager* manager) const {
    for (CXmlElement node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const char* tag = node.GetName();
        if (std::strcmp(tag, "Image") == 0) {
            ValueBuffer name = {}, type = {}, mask = {};
            node.GetAttributeValue("name", name, sizeof name);
            node.GetAttributeValue("restype", type, sizeof type);
            node.GetAttributeValue("mask", mask, sizeof mask);
            if (*name != '\0')
                manager->AddImage(name, *type != '\0' ? type : nullptr, ParseColor(mask));
        } else if (std::strcmp(tag, "Font") == 0) {
            ValueBuffer name = {}, size = {}, bold = {}, underline = {}, italic = {},
                        isDefault = {};
            node.GetAttributeValue("name", name, sizeof name);
            const int pixels =
                node.GetAttributeValue("size", size, sizeof size) ? std::atoi(size) : 12;
            node.GetAttributeValue("bold", bold, sizeof bold);
            node.GetAttributeValue("underline", underline, sizeof underline);
            node.GetAttributeValue("italic", italic, sizeof italic);
            node.GetAttributeValue("default", isDefault, sizeof isDefault);
            if (*name != '\0') {
                manager->AddFont(name, pixels, ParseBool(bold), ParseBool(underline),
                                 ParseBool(italic));
                if (ParseBool(isDefault))
                    manager->SetDefaultFont(name, pixels, ParseBool(bold), ParseBool(underline),
                                            ParseBool(italic));
            }
        } else if (std::strcmp(tag, "Default") == 0) {
            ValueBuffer name = {};
            node.GetAttributeValue("name", name, sizeof name);
            if (*name != '\0')
                manager->AddDefaultAttributeList(name, WholeValue(node, "value"));
        }
    }
}

void CUIBuilder::ApplyWindowAttributes(CXmlElement root, CUIManager* manager) const {
    const int count = root.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        const char* name = root.GetAttributeName(i);
        const char* value = root.GetAttributeValue(i);
        if (std::strcmp(name, "size") == 0) {
            const plat::SIZE size = ParseSize(value);
            // The manager resizes a window without a tree at once; a size from markup beyond
            // any screen would only ask for gigabytes of back buffer.
            manager->SetInitSize(std::clamp(size.cx, 0, kMaxWindowSize),
                                 std::clamp(size.cy, 0, kMaxWindowSize));
        } else if (std::strcmp(name, "sizebox") == 0) {
            manager->SetSizeBox(ParseRect(value));
        } else if (std::strcmp(name, "caption") == 0) {
            manager->SetCaptionRect(ParseRect(value));
        } else if (std::strcmp(name, "roundcorner") == 0) {
            const plat::SIZE size = ParseSize(value);
            manager->SetRoundCorner(size.cx, size.cy);
        } else if (std::strcmp(name, "mininfo") == 0) {
            const plat::SIZE size = ParseSize(value);
            manager->SetMinInfo(size.cx, size.cy);
        } else if (std::strcmp(name, "maxinfo") == 0) {
            const plat::SIZE size = ParseSize(value);
            manager->SetMaxInfo(size.cx, size.cy);
        } else if (std::strcmp(name, "showdirty") == 0) {
            manager->SetShowUpdateRect(ParseBool(value));
        } else if (std::strcmp(name, "alpha") == 0) {
            manager->SetTransparent(std::atoi(value));
        } else if (std::strcmp(name, "bktrans") == 0) {
            manager->SetBackgroundTransparent(ParseBool(value));
        } else if (std::strcmp(name, "disabledfontcolor") == 0) {
            manager->SetDefaultDisabledColor(ParseColor(value));
        } else if (std::strcmp(name, "defaultfontcolor") == 0) {
            manager->SetDefaultFontColor(ParseColor(value));
        } else if (std::strcmp(name, "linkfontcolor") == 0) {
            manager->SetDefaultLinkFontColor(ParseColor(value));
        } else if (std::strcmp(name, "linkhoverfontcolor") == 0) {
            manager->SetDefaultLinkHoverFontColor(ParseColor(value));
        } else if (std::strcmp(name, "selectedcolor") == 0) {
            manager->SetDefaultSelectedBkColor(ParseColor(value));
        }
    }
}

void CUIBuilder::Include(CXmlElement element, CControlUI* parent, CUIManager* manager, int level,
                         CControlUI** first) {
    ValueBuffer countText = {}, source = {};
    const int count =
        element.GetAttributeValue("count", countText, sizeof countText) ? std::atoi(countText) : 1;
    if (!element.GetAttributeValue("source", source, sizeof source) || count <= 0)
        return;
    if (m_depth + 1 > kMaxIncludeDepth)
        return;
    for (int i = 0; i < count && m_budget->controls < kMaxControls; ++i) {
        CUIBuilder builder;
        builder.m_depth = m_depth + 1;
        builder.m_budget = m_budget;
        builder.m_nesting = level;
        CControlUI* made = nullptr;
        if (m_fromResource) {
            const int number = static_cast<int>(std::strtoul(source, nullptr, 10) & 0xFFFF);
            made = builder.Create(number, m_resourceType.GetData(), m_callback, manager, parent);
        } else {
            made = builder.Create(source, nullptr, m_callback, manager, parent);
        }
        if (made != nullptr && *first == nullptr)
            *first = made;
        // Without a parent nothing owns an included tree but the caller of the outer build,
        // which takes only the first control.
        if (made != nullptr && parent == nullptr && made != *first)
            delete made;
    }
}

CControlUI* CUIBuilder::Parse(CXmlElement element, CControlUI* parent, CUIManager* manager,
                              int level, bool* aborted) {
    IContainerUI* container = nullptr;
    if (parent != nullptr)
        container = static_cast<IContainerUI*>(parent->Interface("IContainer"));

    CControlUI* first = nullptr;
    for (CXmlElement node = element.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const char* tag = node.GetName();
        if (IsDeclaration(tag))
            continue;
        if (std::strcmp(tag, "Include") == 0) {
            Include(node, parent, manager, level, &first);
            continue;
        }
        if (m_budget->controls >= kMaxControls)
            break;

        CControlUI* control = CreateControlOfClass(tag);
        if (control == nullptr && m_callback != nullptr)
            control = m_callback->CreateControl(tag);
        if (control == nullptr)
            continue;
        ++m_budget->controls;

        if (node.HasChildren() && level + 1 < kMaxNesting) {
            Parse(node, control, manager, level + 1, aborted);
            if (*aborted) {
                delete control;
                // Without a parent nothing owns what this level built before.
                if (parent == nullptr)
                    delete first;
                return nullptr;
            }
        }
        if (parent != nullptr && container == nullptr) {
            delete control;
            *aborted = true;
            return nullptr;
        }
        // A parent already in a manager's tree initialises what it is given, so the control
        // is complete before it goes in; otherwise it goes in first and the manager initialises
        // the whole tree when it takes the root.
        const bool liveParent = parent != nullptr && parent->Manager() != nullptr;
        if (parent != nullptr && !liveParent && !container->Add(control)) {
            delete control;
            continue;
        }
        if (manager != nullptr) {
            control->SetManager(manager, nullptr, false);
            const char* defaults = manager->GetDefaultAttributeList(tag);
            if (defaults != nullptr)
                control->ApplyAttributeList(defaults);
        }
        const int count = node.GetAttributeCount();
        for (int i = 0; i < count; ++i)
            control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
        if (manager != nullptr)
            control->SetManager(nullptr, nullptr, false);
        if (liveParent && !container->Add(control)) {
            delete control;
            continue;
        }

        if (first == nullptr) {
            first = control;
        } else if (parent == nullptr) {
            // Only the first top-level control is handed back; a later one would have no owner.
            delete control;
        }
    }
    return first;
}

} // namespace Pane
