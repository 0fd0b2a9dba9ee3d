// Feeds arbitrary bytes to the markup parser and walks every element and attribute it returns.
#include "pane/core/Xml.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Pane::CXmlDoc doc;
    if (!doc.LoadFromMem(data, size)) {
        return 0;
    }
    std::vector<Pane::CXmlElement> pending;
    if (doc.GetRoot().IsValid()) {
        pending.push_back(doc.GetRoot());
    }
    char value[500];
    size_t total = 0;
    while (!pending.empty()) {
        Pane::CXmlElement e = pending.back();
        pending.pop_back();
        total += std::strlen(e.GetName()) + std::strlen(e.GetValue());
        for (int i = 0; i < e.GetAttributeCount(); ++i) {
            total += std::strlen(e.GetAttributeValue(i));
            e.GetAttributeValue(e.GetAttributeName(i), value, sizeof value);
        }
        if (e.GetSibling().IsValid()) {
            pending.push_back(e.GetSibling());
        }
        if (e.HasChildren()) {
            pending.push_back(e.GetChild());
        }
    }
    // Touch every string so a read past its end shows up; the sum itself is not needed.
    static volatile size_t sink;
    sink = total;
    return 0;
}
