#include "platform/prompts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelmora;

namespace {

struct FilterCase {
    const char* Filter;
    const char* TypeName;
    std::vector<std::string> Filters;
};

const FilterCase kFilterCases[] = {
    {"パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*",
     "",
     {"パターンファイル (*.ptn)", "すべてのファイル (*)"}},
    // The default extension's filter takes the type name...
    {"パターンファイル(*.ptn)|*.ptn|すべてのファイル(*.*)|*.*",
     "Pelmora パターンファイル",
     {"Pelmora パターンファイル (*.ptn)", "すべてのファイル (*)"}},
    // ...only where it is that extension alone.
    {"Pictures|*.bmp; *.ptn;", "Pelmora", {"Pictures (*.bmp *.ptn)"}},
    {" Spaced ( *.ptn ) | *.ptn |Unpaired", "", {"Spaced (*.ptn)"}},
    {"", "Pelmora", {}},
};

TEST(FileDialogFilters, BecomeNameFiltersWithTheirPatterns) {
    for (const FilterCase& c : kFilterCases) {
        FileDialogRequest request;
        request.Filter = c.Filter;
        request.DefaultExtension = "ptn";
        request.TypeName = c.TypeName;
        EXPECT_EQ(NameFilters(request), c.Filters) << c.Filter;
    }
}

} // namespace
