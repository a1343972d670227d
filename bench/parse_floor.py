#!/usr/bin/env python3
"""Writes the statement grammar with every action emptied (the rules and the
parser tables stay the same; a statement at the end of the input still ends
the parse) to the given file.  Built with FLOOR_TOKENS, the parser reads
a token list made beforehand instead of calling the lexer.  bench/parse_floor.sh
builds the lexer and this action-free parser into one program, to time what
reading and parsing alone cost."""
import re
import sys


def strip_actions(rules):
    out = []
    depth = 0
    action = []
    for ch in rules:
        if ch == "{":
            depth += 1
        elif ch == "}":
            depth -= 1
            if depth == 0:
                out.append("{ YYACCEPT; }" if "YYACCEPT" in "".join(action) else "{}")
                action = []
        elif depth == 0:
            out.append(ch)
        else:
            action.append(ch)
    if depth != 0:
        raise SystemExit("unbalanced braces in the rules")
    return "".join(out)


def main():
    source, target = sys.argv[1], sys.argv[2]
    text = open(source).read()
    head, rules, tail = text.split("\n%%\n")
    # Built with FLOOR_TOKENS, the parser takes its tokens from a list made
    # beforehand: the time of the parser alone.
    lexer = re.search(r"^#define yylex\(.*$", head, re.M)
    if not lexer:
        raise SystemExit("no lexer macro in the grammar")
    head = (head[:lexer.start()] + "#ifdef FLOOR_TOKENS\nint floor_token();\n"
            "#define yylex(value, assembly) floor_token()\n#else\n" + lexer.group(0) +
            "\n#endif" + head[lexer.end():])
    with open(target, "w") as f:
        f.write(head + "\n%%\n" + strip_actions(rules) + "\n%%\n" + tail)


if __name__ == "__main__":
    main()
