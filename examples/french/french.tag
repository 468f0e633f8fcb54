{ Étiquettes de l'exemple français : un mot de l'élève vers lequel l'entrée du
  mot attendu pointe sous l'une de ces étiquettes est signalé comme mot apparenté
  (LEX) plutôt que comme une faute. }
{ Chaque étiquette nomme le champ du lexique qui porte ses pointeurs : le champ 10
  de french.lex, par exemple SYN:"heureux";ANT:"triste". }
SYN ( 10 )   { un mot de même sens }
ANT ( 10 )   { un mot de sens contraire }
