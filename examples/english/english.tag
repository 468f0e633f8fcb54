{ Tag information of the English example: a learner's word that the expected
  word's entry points to under one of these tags is reported as a related word
  (LEX) rather than as a wrong one. }
{ Each tag names the lexicon field that holds its pointers: field 10 of
  english.lex holds groups such as SYN:"large";ANT:"small". }
SYN ( 10 )   { a word of the same meaning }
ANT ( 10 )   { a word of the opposite meaning }
