// kivomap: runs the character mapping of a cross-script transfer over each
// line of standard input and writes the results line by line; given plain
// (not enciphered) library files, it then applies them in that order with
// the engine's own word adjustment. The phrase-library generator asks it
// what the mapping makes of a phrase, so that a library pair's source is
// exactly the text the libraries will see, and what the whole pipeline makes
// of every phrase, so that it can check and repair its own result.
//
//   kivomap g2b [LIBRARY...]    GBK lines in, Big5 lines out
//   kivomap b2g [LIBRARY...]    Big5 lines in, GBK (simplified) lines out
#include "CharacterMapping.h"
#include "WALibraryLists.h"
#include "WALibraryText.h"

#include <cstddef>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

int main(int argc, char** argv)
{
    const std::string strDirection = argc >= 2 ? argv[1] : "";
    if (strDirection != "g2b" && strDirection != "b2g") {
        std::fprintf(stderr, "usage: kivomap g2b|b2g [LIBRARY...] < lines > converted-lines\n");
        return 2;
    }
    const bool bG2B = strDirection == "g2b";
    const WADirection direction = bG2B ? WADirection::G2B : WADirection::B2G;
    CWALibraryLists lists(bG2B ? 950 : 936);
    // The generator checks tens of thousands of phrases in one text; the
    // limit that protects a host's transfer has no meaning here.
    lists.SetMaxTextBytes(std::numeric_limits<std::size_t>::max());
    for (int i = 2; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "kivomap: cannot read %s\n", argv[i]);
            return 1;
        }
        std::ostringstream content;
        content << file.rdbuf();
        auto library = std::make_unique<WALibrary>();
        library->m_strPath = argv[i];
        library->m_bBuiltIn = true;
        library->m_bG2B = bG2B;
        library->m_bApply = true;
        ParseWALibraryText(*library, content.str(), false, true);
        lists.Append(direction, std::move(library));
    }

    // All lines are mapped and adjusted as one text: a line feed never
    // belongs to a double-byte character, so no source matches across it and
    // each line comes out as it would alone, at the cost of one pass per pair
    // for the whole input instead of one per line.
    std::ios::sync_with_stdio(false);
    std::string strInput((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (!strInput.empty() && strInput.back() != '\n')
        strInput += '\n';
    std::string strText = bG2B ? MapGbToBig5(strInput) : MapBig5ToGb(strInput, Big5Target::Simplified);
    ApplyWordAdjustment(&lists, direction, strText);
    std::cout << strText;
    std::cout.flush();
    return std::cout ? 0 : 1;
}
