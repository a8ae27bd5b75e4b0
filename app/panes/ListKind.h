#pragma once

#include <cstdint>

// The kind of a list pane (its LType), also its place in the main window's
// table of panes.
enum ListKind : int32_t {
    LeftList = 0,
    RightList = 1,
    MergeList = 2,
    StructureList = 3,
    DomainsCountry = 4,
    GenericDomains = 5,
    ExtensionsToReject = 6,
    KeywordsToReject = 7,
    MailList = 8,
    ListKindNotSet = 9,
};
