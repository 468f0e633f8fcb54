{ Lexicon of the English example. Each line: word, class, attributes, weight, }
{ the base form (field 5), its inflection (field 6) and an irregular form (field 7). }
{ For checking answers: the word's sounds (field 8, in the symbols of english.ipa), }
{ their inflection (field 9), related words under the tags of english.tag (field 10) }
{ and the sounds of the irregular form (field 11). english.prc sets fields 8 and 9 }
{ as the phonology passes with MPASSES 21 8 9. }
{ Comments here stay on one line: a line end inside one draws a warning. }
"dog"       | N | NUMBER | 10 | #1 | $NOUN | | "dog" | $IPA_NOUN |
"cat"       | N | NUMBER | 10 | #1 | $NOUN | | "kat" | $IPA_NOUN |
"bird"      | N | NUMBER | 8 | #1 | $NOUN | | "b3d" | $IPA_NOUN |
"horse"     | N | NUMBER | 6 | #1 | $NOUN | | "hOs" | $IPA_NOUN |
"fox"       | N | NUMBER | 5 | #1 | $NOUN | | "foX" | $IPA_NOUN |
"witch"     | N | NUMBER | 3 | #1 | $NOUN | | "wiC" | $IPA_NOUN |
"baby"      | N | NUMBER | 5 | #1 | $NOUN | | "bEbI" | $IPA_NOUN |
"boy"       | N | NUMBER | 6 | #1 | $NOUN | | "bQ" | $IPA_NOUN | ANT:"girl" |
"monkey"    | N | NUMBER | 4 | #1 | $NOUN | | "mVNkI" | $IPA_NOUN |
"teacher"   | N | NUMBER | 8 | #1 | $NOUN | | "tIC@" | $IPA_NOUN |
"student"   | N | NUMBER | 8 | #1 | $NOUN | | "stUd@nt" | $IPA_NOUN |
"farmer"    | N | NUMBER | 5 | #1 | $NOUN | | "fAm@" | $IPA_NOUN |
"sister"    | N | NUMBER | 5 | #1 | $NOUN | | "sist@" | $IPA_NOUN |
"neighbour" | N | NUMBER | 4 | #1 | $NOUN | | "nEb@" | $IPA_NOUN |
"elephant"  | N | NUMBER | 4 | #1 | $NOUN | | "el@f@nt" | $IPA_NOUN |
"owl"       | N | NUMBER | 4 | #1 | $NOUN | | "Wl" | $IPA_NOUN |
"eagle"     | N | NUMBER | 3 | #1 | $NOUN | | "Igl" | $IPA_NOUN |
"uncle"     | N | NUMBER | 4 | #1 | $NOUN | | "VNkl" | $IPA_NOUN |
"artist"    | N | NUMBER | 4 | #1 | $NOUN | | "Atist" | $IPA_NOUN |
"child"     | N | NUMBER | 6 | #1 | $NOUN_IRR | "children" | "CYld" | $IPA_NOUN_IRR | | "Cildr@n" |
"mouse"     | N | NUMBER | 4 | #1 | $NOUN_IRR | "mice" | "mWs" | $IPA_NOUN_IRR | | "mYs" |
"man"       | N | NUMBER | 5 | #1 | $NOUN_IRR | "men" | "man" | $IPA_NOUN_IRR | ANT:"woman" | "men" |
"woman"     | N | NUMBER | 5 | #1 | $NOUN_IRR | "women" | "wum@n" | $IPA_NOUN_IRR | ANT:"man" | "wimin" |

{ Personal pronouns, as subject (nom) and as object (acc) }
"I"    | PRON | sg, first, nom  | 10 | #1 | | | "Y" |
"we"   | PRON | pl, first, nom  | 10 | #1 | | | "wI" |
"you"  | PRON | sg, second, nom | 10 | #1 | | | "jU" |
"you"  | PRON | pl, second, nom | 10 | #1 | | | "jU" |
"he"   | PRON | sg, third, nom  | 10 | #1 | | | "hI" |
"she"  | PRON | sg, third, nom  | 10 | #1 | | | "SI" |
"it"   | PRON | sg, third, nom  | 5 | #1 | | | "it" |
"they" | PRON | pl, third, nom  | 10 | #1 | | | "DE" |
"me"   | PRON | sg, first, acc  | 10 | #1 | | | "mI" |
"us"   | PRON | pl, first, acc  | 10 | #1 | | | "Vs" |
"you"  | PRON | sg, second, acc | 10 | #1 | | | "jU" |
"you"  | PRON | pl, second, acc | 10 | #1 | | | "jU" |
"him"  | PRON | sg, third, acc  | 10 | #1 | | | "him" |
"her"  | PRON | sg, third, acc  | 10 | #1 | | | "h3" |
"it"   | PRON | sg, third, acc  | 5 | #1 | | | "it" |
"them" | PRON | pl, third, acc  | 10 | #1 | | | "Dem" |

{ Determiners agree in number with their noun }
"the"   | DET | NUMBER, definite | 20 | #1 | | | "D@" |
"his"   | DET | NUMBER, definite | 5 | #1 | | | "hiz" |
"their" | DET | NUMBER, definite | 5 | #1 | | | "DR" |
"this"  | DET | sg, definite     | 5 | #1 | | | "Dis" |
"that"  | DET | sg, definite     | 5 | #1 | | | "Dat" |
"these" | DET | pl, definite     | 5 | #1 | | | "DIz" |
"those" | DET | pl, definite     | 5 | #1 | | | "DGz" |
"a"     | DET | sg, indefinite   | 20 | #1 | $ARTICLE | | "@" | $IPA_ARTICLE |
"every" | DET | sg, indefinite   | 5 | #1 | | | "evrI" |
"some"  | DET | pl, indefinite   | 10 | #1 | | | "sVm" |
"many"  | DET | pl, indefinite   | 5 | #1 | | | "menI" |

"big"    | ADJ | | 10 | #1 | | | "big" | | SYN:"large";ANT:"small" |
"small"  | ADJ | | 10 | #1 | | | "smOl" | | SYN:"little";ANT:"big" |
"old"    | ADJ | | 8 | #1 | | | "Gld" | | ANT:"young" |
"young"  | ADJ | | 8 | #1 | | | "jVN" | | ANT:"old" |
"happy"  | ADJ | | 8 | #1 | | | "hapI" | | SYN:"glad";ANT:"sad" |
"hungry" | ADJ | | 6 | #1 | | | "hVNgrI" |
"clever" | ADJ | | 6 | #1 | | | "klev@" | | SYN:"smart" |
"lazy"   | ADJ | | 5 | #1 | | | "lEzI" |
"angry"  | ADJ | | 5 | #1 | | | "aNgrI" |
"quiet"  | ADJ | | 5 | #1 | | | "kwY@t" | | ANT:"loud" |
"brave"  | ADJ | | 5 | #1 | | | "brEv" |
"ugly"   | ADJ | | 3 | #1 | | | "VglI" |

"very"   | ADV | | 10 | #1 | | | "verI" |
"really" | ADV | | 5 | #1 | | | "rIlI" |
"extremely" | ADV | | 5 | #1 | | | "iXtrImlI" |

{ today and again only with the past: "he sleeps today" is not said. }
"today"   | ADVM | past  | 5 | #1 | | | "t@dE" |
"again"   | ADVM | past  | 5 | #1 | | | "@gen" |
"quietly" | ADVM | TENSE | 5 | #1 | | | "kwY@tlI" |
"outside" | ADVM | TENSE | 5 | #1 | | | "WtsYd" |

{ Verbs agree with their subject in number and person }
"sleep"  | VI | NUMBER, PERSON, TENSE | 10 | #1 | $VERB_IRR | "slept" | "slIp" | $IPA_VERB_IRR | | "slept" |
"run"    | VI | NUMBER, PERSON, TENSE | 8 | #1 | $VERB_IRR | "ran" | "rVn" | $IPA_VERB_IRR | | "ran" |
"sing"   | VI | NUMBER, PERSON, TENSE | 6 | #1 | $VERB_IRR | "sang" | "siN" | $IPA_VERB_IRR | | "saN" |
"swim"   | VI | NUMBER, PERSON, TENSE | 5 | #1 | $VERB_IRR | "swam" | "swim" | $IPA_VERB_IRR | | "swam" |
"laugh"  | VI | NUMBER, PERSON, TENSE | 8 | #1 | $VERB | | "lAf" | $IPA_VERB | ANT:"cry" |
"smile"  | VI | NUMBER, PERSON, TENSE | 8 | #1 | $VERB | | "smYl" | $IPA_VERB |
"wait"   | VI | NUMBER, PERSON, TENSE | 6 | #1 | $VERB | | "wEt" | $IPA_VERB |
"work"   | VI | NUMBER, PERSON, TENSE | 6 | #1 | $VERB | | "w3k" | $IPA_VERB |
"arrive" | VI | NUMBER, PERSON, TENSE | 5 | #1 | $VERB | | "@rYv" | $IPA_VERB |
"dance"  | VI | NUMBER, PERSON, TENSE | 5 | #1 | $VERB | | "dAns" | $IPA_VERB |
"cry"    | VI | NUMBER, PERSON, TENSE | 4 | #1 | $VERB | | "krY" | $IPA_VERB | ANT:"laugh" |
"play"   | VI | NUMBER, PERSON, TENSE | 6 | #1 | $VERB | | "plE" | $IPA_VERB |

"see"    | VT | NUMBER, PERSON, TENSE | 10 | #1 | $VERB_IRR | "saw" | "sI" | $IPA_VERB_IRR | | "sO" |
"know"   | VT | NUMBER, PERSON, TENSE | 6 | #1 | $VERB_IRR | "knew" | "nG" | $IPA_VERB_IRR | | "nU" |
"find"   | VT | NUMBER, PERSON, TENSE | 6 | #1 | $VERB_IRR | "found" | "fYnd" | $IPA_VERB_IRR | | "fWnd" |
"teach"  | VT | NUMBER, PERSON, TENSE | 4 | #1 | $VERB_IRR | "taught" | "tIC" | $IPA_VERB_IRR | | "tOt" |
"like"   | VT | NUMBER, PERSON, TENSE | 10 | #1 | $VERB | | "lYk" | $IPA_VERB | ANT:"hate" |
"help"   | VT | NUMBER, PERSON, TENSE | 8 | #1 | $VERB | | "help" | $IPA_VERB |
"watch"  | VT | NUMBER, PERSON, TENSE | 6 | #1 | $VERB | | "woC" | $IPA_VERB |
"follow" | VT | NUMBER, PERSON, TENSE | 6 | #1 | $VERB | | "folG" | $IPA_VERB |
"visit"  | VT | NUMBER, PERSON, TENSE | 5 | #1 | $VERB | | "vizit" | $IPA_VERB |
"carry"  | VT | NUMBER, PERSON, TENSE | 4 | #1 | $VERB | | "karI" | $IPA_VERB |
"chase"  | VT | NUMBER, PERSON, TENSE | 5 | #1 | $VERB | | "CEs" | $IPA_VERB |
"wash"   | VT | NUMBER, PERSON, TENSE | 3 | #1 | $VERB | | "woS" | $IPA_VERB |

"be" | COP | NUMBER, PERSON, TENSE | 1 | #1 | BE(TENSE, NUMBER, PERSON) | | | BE_IPA(TENSE, NUMBER, PERSON) |

{ do, which questions and short answers add }
"do" | AUX | NUMBER, PERSON, TENSE | 1 | #1 | $VERB_IRR | "did" | "dU" | $IPA_VERB_IRR | | "did" |

{ Words that the syntax asks for by name }
"yes"  | WORD | | 1 | #1 | | | "jes" |
"`"    | CAP  | | 1 | #1 |
"?"    | PUNCT | | 1 | "^?" |
","    | PUNCT | | 1 | "^," |
"."    | PUNCT | | 1 | "^." |

{ Related words that the analysis accepts in place of a word (weight 0: never generated) }
"large"  | ADJ | | 0 | #1 | | | "lAJ" | | SYN:"big" |
"little" | ADJ | | 0 | #1 | | | "litl" | | SYN:"small" |
"glad"   | ADJ | | 0 | #1 | | | "glad" | | SYN:"happy" |
"sad"    | ADJ | | 0 | #1 | | | "sad" | | ANT:"happy" |
"loud"   | ADJ | | 0 | #1 | | | "lWd" | | ANT:"quiet" |
"smart"  | ADJ | | 0 | #1 | | | "smAt" | | SYN:"clever" |
"girl"   | N | NUMBER | 0 | #1 | $NOUN | | "g3l" | $IPA_NOUN | ANT:"boy" |
"hate"   | VT | NUMBER, PERSON, TENSE | 0 | #1 | $VERB | | "hEt" | $IPA_VERB | ANT:"like" |
