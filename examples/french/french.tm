{ Classes de mots de l'exemple français. }
N      { noms }
PRON   { pronoms sujets }
DET    { déterminants }
ADJA   { adjectifs placés avant le nom }
ADJ    { adjectifs placés après le nom ou attributs }
ADV    { adverbes de degré }
ADVM   { adverbes de manière, de temps et de lieu }
VI     { verbes sans complément }
VT     { verbes avec un complément d'objet }
COP    { le verbe être }
MOT    { mots que la syntaxe demande par leur nom }
CAP    { met une majuscule au mot suivant }
PONCT  { ponctuation }
