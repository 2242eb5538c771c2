// kivomap: runs the character mapping of a cross-script transfer over each
// line of standard input, without word adjustment, and writes the results
// line by line. The phrase-library generator asks it what the mapping makes
// of a phrase, so that a library pair's source is exactly the text the
// libraries will see.
//
//   kivomap g2b    GBK lines in, Big5 lines out
//   kivomap b2g    Big5 lines in, GBK (simplified) lines out
#include "CharacterMapping.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    const std::string strDirection = argc == 2 ? argv[1] : "";
    if (strDirection != "g2b" && strDirection != "b2g") {
        std::fprintf(stderr, "usage: kivomap g2b|b2g < lines > mapped-lines\n");
        return 2;
    }
    const bool bG2B = strDirection == "g2b";
    std::ios::sync_with_stdio(false);
    std::string strLine;
    while (std::getline(std::cin, strLine)) {
        std::cout << (bG2B ? MapGbToBig5(strLine) : MapBig5ToGb(strLine, Big5Target::Simplified)) << '\n';
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}
