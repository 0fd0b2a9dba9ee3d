#pragma once
// CUIBuilder turns window markup into a control tree for a UI manager: it applies the root
// "Window" element's settings to the manager, registers the fonts, images and default attribute
// lists the markup declares, makes one control per element through the class table and hands
// unknown element names to an IDialogBuilderCallback. The controls it returns belong to the
// parent they were added to, or to the caller when no parent was given. UI thread only.

#include "pane/core/Xml.h"
#include "pane/utils/UIString.h"

#include <cstddef>

namespace Pane {

class CControlUI;
class CUIManager;

// Makes the controls of element names the class table does not know.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    // A new control for the element name, or null to skip the element.
    virtual CControlUI* CreateControl(const char* className) = 0;
};

// The control of a tag of the class table ("Control", "Container", ...), compared with case;
// null for any other name. Containers make their scroll bars through it ("ScrollBar").
CControlUI* CreateControlOfClass(const char* tag);

class CUIBuilder {
public:
    // Largest window width or height a markup "size" may ask for.
    static constexpr int kMaxWindowSize = 8192;
    // Deepest nesting of includes within one build; an include below it is skipped, so a file
    // that includes itself ends instead of exhausting the stack.
    static constexpr int kMaxIncludeDepth = 16;
    // Deepest nesting of controls one build makes; children below it are skipped, so hostile
    // markup cannot make a tree deeper than the recursive layout, paint and destruction can
    // walk.
    static constexpr int kMaxNesting = 200;
    // Most controls one build (with all its includes) makes; counts of includes multiply, and
    // a few nested counts would otherwise ask for billions of controls.
    static constexpr std::size_t kMaxControls = 100000;

    // Installs the class table as the core's control factory.
    CUIBuilder();
    CUIBuilder(const CUIBuilder&) = delete;
    CUIBuilder& operator=(const CUIBuilder&) = delete;

    // Markup text when `xml` starts with "<", else a file name relative to the resource path.
    // Returns the first top-level control, or null when the markup cannot be loaded, is empty,
    // or a parent cannot hold children.
    CControlUI* Create(const char* xml, const char* type = nullptr,
                       IDialogBuilderCallback* callback = nullptr, CUIManager* manager = nullptr,
                       CControlUI* parent = nullptr);
    // The markup of the program's resource `resource` of `type`; includes of this markup name
    // resources of the same type.
    CControlUI* Create(int resource, const char* type, IDialogBuilderCallback* callback = nullptr,
                       CUIManager* manager = nullptr, CControlUI* parent = nullptr);
    // Builds the markup loaded already (GetMarkup) again.
    CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CUIManager* manager = nullptr,
                       CControlUI* parent = nullptr);

    CXmlDoc* GetMarkup() { return &m_xml; }
    const char* GetLastErrorMessage() const { return m_xml.GetLastErrorMessage(); }
    const char* GetLastErrorLocation() const { return m_xml.GetLastErrorLocation(); }

private:
    struct Budget {
        std::size_t controls = 0;
    };

    CControlUI* Build(IDialogBuilderCallback* callback, CUIManager* manager, CControlUI* parent);
    void ApplyDeclarations(CXmlElement root, CUIManager* manager) const;
    void ApplyWindowAttributes(CXmlElement root, CUIManager* manager) const;
    // Builds the children of `element` under `parent`; the first control made, or null.
    // `aborted` is set when a parent could not take a child, which ends the whole build.
    CControlUI* Parse(CXmlElement element, CControlUI* parent, CUIManager* manager, int level,
                      bool* aborted);
    // Builds an "Include" element `count` times into `parent`.
    void Include(CXmlElement element, CControlUI* parent, CUIManager* manager, int level,
                 CControlUI** first);

    CXmlDoc m_xml;
    IDialogBuilderCallback* m_callback = nullptr;
    CUIString m_resourceType; // the type the markup came with; empty for files and text
    bool m_fromResource = false;
    int m_depth = 0;   // includes above this builder
    int m_nesting = 0; // controls above the parent this builder builds into
    Budget m_ownBudget;
    Budget* m_budget = &m_ownBudget; // shared with the builders of includes
};

} // namespace Pane
