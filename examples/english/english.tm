{ Word classes of the English example. }
N        { nouns }
PRON     { personal pronouns }
DET      { determiners }
ADJ      { adjectives }
ADV      { adverbs of degree }
ADVM     { adverbs of time, place and manner }
VI       { verbs without an object }
VT       { verbs with an object }
COP      { the verb be }
AUX      { do, added by the transformations }
WORD     { fixed words, always asked for by name }
CAP      { capitalises the word after it }
PUNCT    { punctuation, glued to the word before it }
