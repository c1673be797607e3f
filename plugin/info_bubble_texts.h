#pragma once
// The four lines of the info bubble for a patch point: the input it feeds and the range that
// input expects, the source plugged in and the range that source delivers.

struct InfoBubbleLines {
  const char* target = ""; // line 1
  const char* input = "";  // line 2
  const char* source = ""; // line 3
  const char* output = ""; // line 4
};

// The lines for a selector parameter set to value; clk1Src and clk2Src are the values of
// "Clk1 Src" and "Clk2 Src", which decide whether the external clocks deliver anything.
// False (and blank lines) for a parameter that is not a modulation or trigger input.
bool infoBubbleLines(int paramIndex, int value, int clk1Src, int clk2Src, InfoBubbleLines& lines);
