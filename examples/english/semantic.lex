{ Lexicon of the semantic example: each word carries the concept it expresses, }
{ which the clauses of the preselection ask for. Fields as in english.lex. }
"child"   | N | NUMBER, child   | 1 | #1 | $NOUN_IRR | "children"
"dog"     | N | NUMBER, dog     | 1 | #1 | $NOUN |
"cat"     | N | NUMBER, cat     | 1 | #1 | $NOUN |
"teacher" | N | NUMBER, teacher | 1 | #1 | $NOUN |
"horse"   | N | NUMBER, horse   | 1 | #1 | $NOUN |

"see"   | VT | NUMBER, PERSON, TENSE, see   | 1 | #1 | $VERB_IRR | "saw"
"chase" | VT | NUMBER, PERSON, TENSE, chase | 1 | #1 | $VERB |
"like"  | VT | NUMBER, PERSON, TENSE, like  | 1 | #1 | $VERB |
"sleep" | VI | NUMBER, PERSON, TENSE, sleep | 1 | #1 | $VERB_IRR | "slept"
"laugh" | VI | NUMBER, PERSON, TENSE, laugh | 1 | #1 | $VERB |
"sing"  | VI | NUMBER, PERSON, TENSE, sing  | 1 | #1 | $VERB_IRR | "sang"

"small"  | ADJ | small  | 1 | #1 |
"big"    | ADJ | big    | 1 | #1 |
"old"    | ADJ | old    | 1 | #1 |
"hungry" | ADJ | hungry | 1 | #1 |

"the" | DET   | NUMBER, definite | 1 | #1 |
"`"   | CAP   | | 1 | #1 |
"."   | PUNCT | | 1 | "^." |
