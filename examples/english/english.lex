{ Lexicon of the English example. Each line: word, class, attributes, weight, }
{ the base form (field 5), its inflection (field 6) and an irregular form (field 7). }
{ Comments here stay on one line: a line end inside one draws a warning. }
"dog"       | N | NUMBER | 10 | #1 | $NOUN |
"cat"       | N | NUMBER | 10 | #1 | $NOUN |
"bird"      | N | NUMBER | 8 | #1 | $NOUN |
"horse"     | N | NUMBER | 6 | #1 | $NOUN |
"fox"       | N | NUMBER | 5 | #1 | $NOUN |
"witch"     | N | NUMBER | 3 | #1 | $NOUN |
"baby"      | N | NUMBER | 5 | #1 | $NOUN |
"boy"       | N | NUMBER | 6 | #1 | $NOUN |
"monkey"    | N | NUMBER | 4 | #1 | $NOUN |
"teacher"   | N | NUMBER | 8 | #1 | $NOUN |
"student"   | N | NUMBER | 8 | #1 | $NOUN |
"farmer"    | N | NUMBER | 5 | #1 | $NOUN |
"sister"    | N | NUMBER | 5 | #1 | $NOUN |
"neighbour" | N | NUMBER | 4 | #1 | $NOUN |
"elephant"  | N | NUMBER | 4 | #1 | $NOUN |
"owl"       | N | NUMBER | 4 | #1 | $NOUN |
"eagle"     | N | NUMBER | 3 | #1 | $NOUN |
"uncle"     | N | NUMBER | 4 | #1 | $NOUN |
"artist"    | N | NUMBER | 4 | #1 | $NOUN |
"child"     | N | NUMBER | 6 | #1 | $NOUN_IRR | "children"
"mouse"     | N | NUMBER | 4 | #1 | $NOUN_IRR | "mice"
"man"       | N | NUMBER | 5 | #1 | $NOUN_IRR | "men"
"woman"     | N | NUMBER | 5 | #1 | $NOUN_IRR | "women"

{ Personal pronouns, as subject (nom) and as object (acc) }
"I"    | PRON | sg, first, nom  | 10 | #1 |
"we"   | PRON | pl, first, nom  | 10 | #1 |
"you"  | PRON | sg, second, nom | 10 | #1 |
"you"  | PRON | pl, second, nom | 10 | #1 |
"he"   | PRON | sg, third, nom  | 10 | #1 |
"she"  | PRON | sg, third, nom  | 10 | #1 |
"it"   | PRON | sg, third, nom  | 5 | #1 |
"they" | PRON | pl, third, nom  | 10 | #1 |
"me"   | PRON | sg, first, acc  | 10 | #1 |
"us"   | PRON | pl, first, acc  | 10 | #1 |
"you"  | PRON | sg, second, acc | 10 | #1 |
"you"  | PRON | pl, second, acc | 10 | #1 |
"him"  | PRON | sg, third, acc  | 10 | #1 |
"her"  | PRON | sg, third, acc  | 10 | #1 |
"it"   | PRON | sg, third, acc  | 5 | #1 |
"them" | PRON | pl, third, acc  | 10 | #1 |

{ Determiners agree in number with their noun }
"the"   | DET | NUMBER, definite | 20 | #1 |
"his"   | DET | NUMBER, definite | 5 | #1 |
"their" | DET | NUMBER, definite | 5 | #1 |
"this"  | DET | sg, definite     | 5 | #1 |
"that"  | DET | sg, definite     | 5 | #1 |
"these" | DET | pl, definite     | 5 | #1 |
"those" | DET | pl, definite     | 5 | #1 |
"a"     | DET | sg, indefinite   | 20 | #1 | $ARTICLE |
"every" | DET | sg, indefinite   | 5 | #1 |
"some"  | DET | pl, indefinite   | 10 | #1 |
"many"  | DET | pl, indefinite   | 5 | #1 |

"big"    | ADJ | | 10 | #1 |
"small"  | ADJ | | 10 | #1 |
"old"    | ADJ | | 8 | #1 |
"young"  | ADJ | | 8 | #1 |
"happy"  | ADJ | | 8 | #1 |
"hungry" | ADJ | | 6 | #1 |
"clever" | ADJ | | 6 | #1 |
"lazy"   | ADJ | | 5 | #1 |
"angry"  | ADJ | | 5 | #1 |
"quiet"  | ADJ | | 5 | #1 |
"brave"  | ADJ | | 5 | #1 |
"ugly"   | ADJ | | 3 | #1 |

"very"   | ADV | | 10 | #1 |
"really" | ADV | | 5 | #1 |
"extremely" | ADV | | 5 | #1 |

{ today and again only with the past: "he sleeps today" is not said. }
"today"   | ADVM | past  | 5 | #1 |
"again"   | ADVM | past  | 5 | #1 |
"quietly" | ADVM | TENSE | 5 | #1 |
"outside" | ADVM | TENSE | 5 | #1 |

{ Verbs agree with their subject in number and person }
"sleep"  | VI | NUMBER, PERSON, TENSE | 10 | #1 | $VERB_IRR | "slept"
"run"    | VI | NUMBER, PERSON, TENSE | 8 | #1 | $VERB_IRR | "ran"
"sing"   | VI | NUMBER, PERSON, TENSE | 6 | #1 | $VERB_IRR | "sang"
"swim"   | VI | NUMBER, PERSON, TENSE | 5 | #1 | $VERB_IRR | "swam"
"laugh"  | VI | NUMBER, PERSON, TENSE | 8 | #1 | $VERB |
"smile"  | VI | NUMBER, PERSON, TENSE | 8 | #1 | $VERB |
"wait"   | VI | NUMBER, PERSON, TENSE | 6 | #1 | $VERB |
"work"   | VI | NUMBER, PERSON, TENSE | 6 | #1 | $VERB |
"arrive" | VI | NUMBER, PERSON, TENSE | 5 | #1 | $VERB |
"dance"  | VI | NUMBER, PERSON, TENSE | 5 | #1 | $VERB |
"cry"    | VI | NUMBER, PERSON, TENSE | 4 | #1 | $VERB |
"play"   | VI | NUMBER, PERSON, TENSE | 6 | #1 | $VERB |

"see"    | VT | NUMBER, PERSON, TENSE | 10 | #1 | $VERB_IRR | "saw"
"know"   | VT | NUMBER, PERSON, TENSE | 6 | #1 | $VERB_IRR | "knew"
"find"   | VT | NUMBER, PERSON, TENSE | 6 | #1 | $VERB_IRR | "found"
"teach"  | VT | NUMBER, PERSON, TENSE | 4 | #1 | $VERB_IRR | "taught"
"like"   | VT | NUMBER, PERSON, TENSE | 10 | #1 | $VERB |
"help"   | VT | NUMBER, PERSON, TENSE | 8 | #1 | $VERB |
"watch"  | VT | NUMBER, PERSON, TENSE | 6 | #1 | $VERB |
"follow" | VT | NUMBER, PERSON, TENSE | 6 | #1 | $VERB |
"visit"  | VT | NUMBER, PERSON, TENSE | 5 | #1 | $VERB |
"carry"  | VT | NUMBER, PERSON, TENSE | 4 | #1 | $VERB |
"chase"  | VT | NUMBER, PERSON, TENSE | 5 | #1 | $VERB |
"wash"   | VT | NUMBER, PERSON, TENSE | 3 | #1 | $VERB |

"be" | COP | NUMBER, PERSON, TENSE | 1 | #1 | BE(TENSE, NUMBER, PERSON) |

{ do, which questions and short answers add }
"do" | AUX | NUMBER, PERSON, TENSE | 1 | #1 | $VERB_IRR | "did"

{ Words that the syntax asks for by name }
"yes"  | WORD | | 1 | #1 |
"`"    | CAP  | | 1 | #1 |
"?"    | PUNCT | | 1 | "^?" |
","    | PUNCT | | 1 | "^," |
"."    | PUNCT | | 1 | "^." |
