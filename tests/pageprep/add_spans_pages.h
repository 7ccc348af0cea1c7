#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace pqtest {

// Random pages for the marker-span tests: mixtures of format and structural tags in both
// cases, links, elements whose text is never wrapped, comments, quoted ">" in attributes,
// text with spaces, "&nbsp;" and deleted-text markers, and unterminated endings.
std::string RandomPage(std::mt19937& rng);

// Random short strings over the characters the scan reacts to ("<", ">", quotes, "=", "/",
// "!", "-", whitespace and tag letters), to reach the corners a vocabulary misses.
std::string RandomBytes(std::mt19937& rng);

// {file name, contents} of every page in tests/fixtures/pages, sorted by name.
std::vector<std::pair<std::string, std::string>> FixturePages();

}  // namespace pqtest
