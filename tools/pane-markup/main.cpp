// pane-markup: checks window markup files and prints their element tree as the framework's
// parser sees it.
#include "pane/core/Xml.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: pane-markup check FILE\n"
                         "       pane-markup dump FILE\n");
    return 2;
}

void Dump(const Pane::CXmlElement& root) {
    // An explicit stack: markup may nest deeper than the call stack would allow.
    std::vector<std::pair<Pane::CXmlElement, int>> pending{{root, 0}};
    while (!pending.empty()) {
        auto [element, depth] = pending.back();
        pending.pop_back();
        std::printf("%*s%s", depth * 2, "", element.GetName());
        for (int i = 0; i < element.GetAttributeCount(); ++i) {
            std::printf(" %s=\"%s\"", element.GetAttributeName(i), element.GetAttributeValue(i));
        }
        // Text content, unless it is only the indentation between child elements.
        if (std::strspn(element.GetValue(), " \t\r\n") != std::strlen(element.GetValue())) {
            std::printf(" : %s", element.GetValue());
        }
        std::printf("\n");
        if (element.GetSibling().IsValid()) {
            pending.push_back({element.GetSibling(), depth});
        }
        if (element.HasChildren()) {
            pending.push_back({element.GetChild(), depth + 1});
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "check") != 0 && std::strcmp(argv[1], "dump") != 0)) {
        return Usage();
    }
    Pane::CXmlDoc doc;
    if (!doc.LoadFromPath(argv[2])) {
        std::printf("%s: %s", argv[2], doc.GetLastErrorMessage());
        if (doc.GetLastErrorLocation()[0] != '\0') {
            std::printf(" at \"%s\"", doc.GetLastErrorLocation());
        }
        std::printf("\n");
        return 1;
    }
    if (std::strcmp(argv[1], "check") == 0) {
        std::printf("ok %zu elements\n", doc.GetElementCount());
    } else if (doc.GetRoot().IsValid()) {
        Dump(doc.GetRoot());
    }
    return 0;
}
