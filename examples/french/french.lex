{ Lexique de l'exemple français. Chaque ligne : mot, classe, attributs, poids, }
{ puis la forme de base ou le radical (champ 5) et sa flexion (champ 6). }
{ Un commentaire tient sur une ligne : une fin de ligne dedans donne un avertissement. }
"chat"       | N | NOMBRE, masc | 10 | #1 | $NOM |
"chien"      | N | NOMBRE, masc | 10 | #1 | $NOM |
"oiseau"     | N | NOMBRE, masc | 6 | #1 | $NOM |
"cheval"     | N | NOMBRE, masc | 6 | #1 | $NOM |
"renard"     | N | NOMBRE, masc | 4 | #1 | $NOM |
"lapin"      | N | NOMBRE, masc | 5 | #1 | $NOM |
"ami"        | N | NOMBRE, masc | 8 | #1 | $NOM |
"enfant"     | N | NOMBRE, masc | 6 | #1 | $NOM |
"homme"      | N | NOMBRE, masc | 5 | #1 | $NOM |
"garçon"     | N | NOMBRE, masc | 6 | #1 | $NOM |
"voisin"     | N | NOMBRE, masc | 5 | #1 | $NOM |
"professeur" | N | NOMBRE, masc | 6 | #1 | $NOM |
"élève"      | N | NOMBRE, masc | 4 | #1 | $NOM |
"fermier"    | N | NOMBRE, masc | 4 | #1 | $NOM |
"amie"       | N | NOMBRE, fem  | 8 | #1 | $NOM |
"femme"      | N | NOMBRE, fem  | 6 | #1 | $NOM |
"fille"      | N | NOMBRE, fem  | 6 | #1 | $NOM |
"voisine"    | N | NOMBRE, fem  | 5 | #1 | $NOM |
"étudiante"  | N | NOMBRE, fem  | 5 | #1 | $NOM |
"fermière"   | N | NOMBRE, fem  | 4 | #1 | $NOM |
"souris"     | N | NOMBRE, fem  | 5 | #1 | $NOM |
"vache"      | N | NOMBRE, fem  | 5 | #1 | $NOM |
"poule"      | N | NOMBRE, fem  | 5 | #1 | $NOM |
"actrice"    | N | NOMBRE, fem  | 4 | #1 | $NOM |

{ Pronoms sujets : je, tu, nous et vous conviennent aux deux genres. }
"je"    | PRON | sg, p1, GENRE | 10 | #1 | $ELISION |
"tu"    | PRON | sg, p2, GENRE | 10 | #1 |
"il"    | PRON | sg, p3, masc  | 10 | #1 |
"elle"  | PRON | sg, p3, fem   | 10 | #1 |
"nous"  | PRON | pl, p1, GENRE | 10 | #1 |
"vous"  | PRON | pl, p2, GENRE | 10 | #1 |
"ils"   | PRON | pl, p3, masc  | 10 | #1 |
"elles" | PRON | pl, p3, fem   | 10 | #1 |

{ Déterminants : ils s'accordent en nombre et en genre avec le nom. }
{ Le possessif est à la troisième personne, que la réponse garde telle quelle. }
"le"    | DET | sg, masc, def    | 20 | #1 | $ELISION |
"la"    | DET | sg, fem, def     | 20 | #1 | $ELISION |
"les"   | DET | pl, GENRE, def   | 20 | #1 |
"ce"    | DET | sg, masc, def    | 5 | #1 | $CE |
"cette" | DET | sg, fem, def     | 5 | #1 |
"ces"   | DET | pl, GENRE, def   | 5 | #1 |
"son"   | DET | sg, masc, def    | 5 | #1 |
"sa"    | DET | sg, fem, def     | 5 | #1 | $SA |
"ses"   | DET | pl, GENRE, def   | 5 | #1 |
"un"    | DET | sg, masc, indef  | 20 | #1 |
"une"   | DET | sg, fem, indef   | 20 | #1 |
"des"   | DET | pl, GENRE, indef | 20 | #1 |

{ Adjectifs placés avant le nom. }
"petit"   | ADJA | NOMBRE, GENRE | 10 | #1 | $ADJECTIF |
"grand"   | ADJA | NOMBRE, GENRE | 10 | #1 | $ADJECTIF |
"bon"     | ADJA | NOMBRE, GENRE | 6 | #1 | $ADJECTIF |
"jeune"   | ADJA | NOMBRE, GENRE | 6 | #1 | $ADJECTIF |
"joli"    | ADJA | NOMBRE, GENRE | 6 | #1 | $ADJECTIF |
"mauvais" | ADJA | NOMBRE, GENRE | 4 | #1 | $ADJECTIF |

{ Adjectifs placés après le nom, et attributs. }
"noir"        | ADJ | NOMBRE, GENRE | 8 | #1 | $ADJECTIF |
"content"     | ADJ | NOMBRE, GENRE | 8 | #1 | $ADJECTIF |
"heureux"     | ADJ | NOMBRE, GENRE | 8 | #1 | $ADJECTIF |
"sérieux"     | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF |
"curieux"     | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF |
"intelligent" | ADJ | NOMBRE, GENRE | 6 | #1 | $ADJECTIF |
"fatigué"     | ADJ | NOMBRE, GENRE | 6 | #1 | $ADJECTIF |
"gentil"      | ADJ | NOMBRE, GENRE | 6 | #1 | $ADJECTIF |
"sportif"     | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF |
"cruel"       | ADJ | NOMBRE, GENRE | 3 | #1 | $ADJECTIF |
"patient"     | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF |
"poli"        | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF |
"méchant"     | ADJ | NOMBRE, GENRE | 4 | #1 | $ADJECTIF |

"très"     | ADV | | 10 | #1 |
"assez"    | ADV | | 5 | #1 |
"vraiment" | ADV | | 5 | #1 |

"aujourd'hui" | ADVM | | 5 | #1 |
"souvent"     | ADVM | | 5 | #1 |
"encore"      | ADVM | | 5 | #1 |
"ici"         | ADVM | | 5 | #1 |
"dehors"      | ADVM | | 5 | #1 |

{ Verbes réguliers : le champ 5 donne le radical, le champ 6 la terminaison d'après la table. }
"parler"     | VI | NOMBRE, PERSONNE | 8 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"chanter"    | VI | NOMBRE, PERSONNE | 8 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"danser"     | VI | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"marcher"    | VI | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"travailler" | VI | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"jouer"      | VI | NOMBRE, PERSONNE | 8 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"pleurer"    | VI | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"arriver"    | VI | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"grandir"    | VI | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) |
"réussir"    | VI | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) |
"rougir"     | VI | NOMBRE, PERSONNE | 3 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) |
"finir"      | VI | NOMBRE, PERSONNE | 3 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) |
"aimer"      | VT | NOMBRE, PERSONNE | 10 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"regarder"   | VT | NOMBRE, PERSONNE | 8 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"chercher"   | VT | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"trouver"    | VT | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"écouter"    | VT | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"aider"      | VT | NOMBRE, PERSONNE | 5 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"inviter"    | VT | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"garder"     | VT | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) |
"choisir"    | VT | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) |

{ Verbes irréguliers : la table du même nom donne chaque forme du présent. }
"dormir" | VI  | NOMBRE, PERSONNE | 8 | #1 | DORMIR(NOMBRE, PERSONNE) |
"avoir"  | VT  | NOMBRE, PERSONNE | 8 | #1 | AVOIR(NOMBRE, PERSONNE) |
"voir"   | VT  | NOMBRE, PERSONNE | 8 | #1 | VOIR(NOMBRE, PERSONNE) |
"être"   | COP | NOMBRE, PERSONNE | 1 | #1 | ETRE(NOMBRE, PERSONNE) |

{ Mots que la syntaxe demande par leur nom. }
"est-ce" | MOT | | 1 | #1 |
"que"    | MOT | | 1 | #1 | $ELISION |
"oui"    | MOT | | 1 | #1 |
"de"     | MOT | | 1 | #1 | $ELISION |
"`"      | CAP | | 1 | #1 |
"?"      | PONCT | | 1 | #1 |
","      | PONCT | | 1 | "^," |
"."      | PONCT | | 1 | "^." |
