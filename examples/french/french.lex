{ Lexique de l'exemple français. Chaque ligne : mot, classe, attributs, poids, }
{ puis la forme de base ou le radical (champ 5) et sa flexion (champ 6). }
{ Un commentaire tient sur une ligne : une fin de ligne dedans donne un avertissement. }
{ Pour corriger les réponses : les sons du mot (champ 8, dans les symboles de french.ipa), }
{ leur flexion (champ 9), les mots apparentés sous les étiquettes de french.tag (champ 10) }
{ et les sons du féminin d'un adjectif (champ 11). french.prc fait des champs 8 et 9 }
{ les passes de phonologie avec MPASSES 21 8 9. }
"chat"       | N | NOMBRE, masc | 10 | #1 | $NOM | | "Sa" | $IPA_NOM |
"chien"      | N | NOMBRE, masc | 10 | #1 | $NOM | | "SjI" | $IPA_NOM |
"oiseau"     | N | NOMBRE, masc | 6 | #1 | $NOM | | "Wzo" | $IPA_NOM |
"cheval"     | N | NOMBRE, masc | 6 | #1 | $NOM | | "S@val" | $IPA_NOM |
"renard"     | N | NOMBRE, masc | 4 | #1 | $NOM | | "r@nar" | $IPA_NOM |
"lapin"      | N | NOMBRE, masc | 5 | #1 | $NOM | | "lapI" | $IPA_NOM |
"ami"        | N | NOMBRE, masc | 8 | #1 | $NOM | | "ami" | $IPA_NOM |
"enfant"     | N | NOMBRE, masc | 6 | #1 | $NOM | | "AfA" | $IPA_NOM |
"homme"      | N | NOMBRE, masc | 5 | #1 | $NOM | | "Om_" | $IPA_NOM | ANT:"femme" |
"garçon"     | N | NOMBRE, masc | 6 | #1 | $NOM | | "gars0" | $IPA_NOM | ANT:"fille" |
"voisin"     | N | NOMBRE, masc | 5 | #1 | $NOM | | "vWzI" | $IPA_NOM |
"professeur" | N | NOMBRE, masc | 6 | #1 | $NOM | | "prOfEs9r" | $IPA_NOM |
"élève"      | N | NOMBRE, masc | 4 | #1 | $NOM | | "elEv_" | $IPA_NOM |
"fermier"    | N | NOMBRE, masc | 4 | #1 | $NOM | | "fErmje" | $IPA_NOM |
"amie"       | N | NOMBRE, fem  | 8 | #1 | $NOM | | "ami" | $IPA_NOM |
"femme"      | N | NOMBRE, fem  | 6 | #1 | $NOM | | "fam_" | $IPA_NOM | ANT:"homme" |
"fille"      | N | NOMBRE, fem  | 6 | #1 | $NOM | | "fij_" | $IPA_NOM | ANT:"garçon" |
"voisine"    | N | NOMBRE, fem  | 5 | #1 | $NOM | | "vWzin_" | $IPA_NOM |
"étudiante"  | N | NOMBRE, fem  | 5 | #1 | $NOM | | "etydjAt_" | $IPA_NOM |
"fermière"   | N | NOMBRE, fem  | 4 | #1 | $NOM | | "fErmjEr_" | $IPA_NOM |
"souris"     | N | NOMBRE, fem  | 5 | #1 | $NOM | | "suri" | $IPA_NOM |
"vache"      | N | NOMBRE, fem  | 5 | #1 | $NOM | | "vaS_" | $IPA_NOM |
"poule"      | N | NOMBRE, fem  | 5 | #1 | $NOM | | "pul_" | $IPA_NOM |
"actrice"    | N | NOMBRE, fem  | 4 | #1 | $NOM | | "aktris_" | $IPA_NOM |

{ Pronoms sujets : je, tu, nous et vous conviennent aux deux genres. }
"je"    | PRON | sg, p1, GENRE | 10 | #1 | $ELISION | | "Z@" |
"tu"    | PRON | sg, p2, GENRE | 10 | #1 | | | "ty" |
"il"    | PRON | sg, p3, masc  | 10 | #1 | | | "il" |
"elle"  | PRON | sg, p3, fem   | 10 | #1 | | | "El_" |
"nous"  | PRON | pl, p1, GENRE | 10 | #1 | | | "nu" |
"vous"  | PRON | pl, p2, GENRE | 10 | #1 | | | "vu" |
"ils"   | PRON | pl, p3, masc  | 10 | #1 | | | "il" |
"elles" | PRON | pl, p3, fem   | 10 | #1 | | | "El_" |

{ Déterminants : ils s'accordent en nombre et en genre avec le nom. }
{ Le possessif est à la troisième personne, que la réponse garde telle quelle. }
"le"    | DET | sg, masc, def    | 20 | #1 | $ELISION | | "l@" |
"la"    | DET | sg, fem, def     | 20 | #1 | $ELISION | | "la" |
"les"   | DET | pl, GENRE, def   | 20 | #1 | | | "le" |
"ce"    | DET | sg, masc, def    | 5 | #1 | $CE | | "s@" | $IPA_CE |
"cette" | DET | sg, fem, def     | 5 | #1 | | | "sEt_" |
"ces"   | DET | pl, GENRE, def   | 5 | #1 | | | "se" |
"son"   | DET | sg, masc, def    | 5 | #1 | | | "s0" |
"sa"    | DET | sg, fem, def     | 5 | #1 | $SA | | "sa" | $IPA_SA |
"ses"   | DET | pl, GENRE, def   | 5 | #1 | | | "se" |
"un"    | DET | sg, masc, indef  | 20 | #1 | | | "U" |
"une"   | DET | sg, fem, indef   | 20 | #1 | | | "yn_" |
"des"   | DET | pl, GENRE, indef | 20 | #1 | | | "de" |

{ Adjectifs placés avant le nom. }
"petit"   | ADJA | NOMBRE, GENRE | 10 | #1 | $ADJECTIF | | "p@ti" | $IPA_ADJ | ANT:"grand" | "p@tit_" |
"grand"   | ADJA | NOMBRE, GENRE | 10 | #1 | $ADJECTIF | | "grA" | $IPA_ADJ | ANT:"petit" | "grAd_" |
"bon"     | ADJA | NOMBRE, GENRE | 6 | #1 | $ADJECTIF | | "b0" | $IPA_ADJ | ANT:"mauvais" | "bOn_" |
"jeune"   | ADJA | NOMBRE, GENRE | 6 | #1 | $ADJECTIF | | "Z9n_" | $IPA_ADJ | | "Z9n_" |
"joli"    | ADJA | NOMBRE, GENRE | 6 | #1 | $ADJECTIF | | "ZOli" | $IPA_ADJ | | "ZOli" |
"mauvais" | ADJA | NOMBRE, GENRE | 4 | #1 | $ADJECTIF | | "movE" | $IPA_ADJ | ANT:"bon" | "movEz_" |

{ Adjectifs placés après le nom, et attributs. }
"noir"        | ADJ | NOMBRE, GENRE | 8 | #1 | $ADJECTIF | | "nWr" | $IPA_ADJ | | "nWr_" |
"content"     | ADJ | NOMBRE, GENRE | 8 | #1 | $ADJECTIF | | "k0tA" | $IPA_ADJ | SYN:"heureux";ANT:"triste" | "k0tAt_" |
"heureux"     | ADJ | NOMBRE, GENRE | 8 | #1 | $ADJECTIF | | "9r2" | $IPA_ADJ | SYN:"content";ANT:"triste" | "9r2z_" |
"sérieux"     | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF | | "serj2" | $IPA_ADJ | | "serj2z_" |
"curieux"     | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF | | "kyrj2" | $IPA_ADJ | | "kyrj2z_" |
"intelligent" | ADJ | NOMBRE, GENRE | 6 | #1 | $ADJECTIF | | "ItEliZA" | $IPA_ADJ | | "ItEliZAt_" |
"fatigué"     | ADJ | NOMBRE, GENRE | 6 | #1 | $ADJECTIF | | "fatige" | $IPA_ADJ | | "fatige" |
"gentil"      | ADJ | NOMBRE, GENRE | 6 | #1 | $ADJECTIF | | "ZAti" | $IPA_ADJ | | "ZAtij_" |
"sportif"     | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF | | "spOrtif" | $IPA_ADJ | | "spOrtiv_" |
"cruel"       | ADJ | NOMBRE, GENRE | 3 | #1 | $ADJECTIF | | "kryEl" | $IPA_ADJ | | "kryEl_" |
"patient"     | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF | | "pasjA" | $IPA_ADJ | | "pasjAt_" |
"poli"        | ADJ | NOMBRE, GENRE | 5 | #1 | $ADJECTIF | | "pOli" | $IPA_ADJ | | "pOli" |
"méchant"     | ADJ | NOMBRE, GENRE | 4 | #1 | $ADJECTIF | | "meSA" | $IPA_ADJ | | "meSAt_" |

"très"     | ADV | | 10 | #1 | | | "trE" |
"assez"    | ADV | | 5 | #1 | | | "ase" |
"vraiment" | ADV | | 5 | #1 | | | "vrEmA" |

"aujourd'hui" | ADVM | | 5 | #1 | | |
"souvent"     | ADVM | | 5 | #1 | | | "suvA" | | ANT:"rarement" |
"encore"      | ADVM | | 5 | #1 | | | "AkOr_" |
"ici"         | ADVM | | 5 | #1 | | | "isi" |
"dehors"      | ADVM | | 5 | #1 | | | "d@Or" |

{ Verbes réguliers : le champ 5 donne le radical, le champ 6 la terminaison d'après la table. }
"parler"     | VI | NOMBRE, PERSONNE | 8 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "parl" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"chanter"    | VI | NOMBRE, PERSONNE | 8 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "SAt" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"danser"     | VI | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "dAs" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"marcher"    | VI | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "marS" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"travailler" | VI | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "travaj" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"jouer"      | VI | NOMBRE, PERSONNE | 8 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "Zu" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"pleurer"    | VI | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "pl9r" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"arriver"    | VI | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "ariv" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"grandir"    | VI | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) | | "grAd" | PRESENT_IR_IPA(NOMBRE, PERSONNE) |
"réussir"    | VI | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) | | "reys" | PRESENT_IR_IPA(NOMBRE, PERSONNE) |
"rougir"     | VI | NOMBRE, PERSONNE | 3 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) | | "ruZ" | PRESENT_IR_IPA(NOMBRE, PERSONNE) |
"finir"      | VI | NOMBRE, PERSONNE | 3 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) | | "fin" | PRESENT_IR_IPA(NOMBRE, PERSONNE) |
"aimer"      | VT | NOMBRE, PERSONNE | 10 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "Em" | PRESENT_ER_IPA(NOMBRE, PERSONNE) | ANT:"détester" |
"regarder"   | VT | NOMBRE, PERSONNE | 8 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "r@gard" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"chercher"   | VT | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "SErS" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"trouver"    | VT | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "truv" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"écouter"    | VT | NOMBRE, PERSONNE | 6 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "ekut" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"aider"      | VT | NOMBRE, PERSONNE | 5 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "Ed" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"inviter"    | VT | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "Ivit" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"garder"     | VT | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "gard" | PRESENT_ER_IPA(NOMBRE, PERSONNE) |
"choisir"    | VT | NOMBRE, PERSONNE | 4 | #1 - - | PRESENT_IR(NOMBRE, PERSONNE) | | "SWz" | PRESENT_IR_IPA(NOMBRE, PERSONNE) |

{ Verbes irréguliers : la table du même nom donne chaque forme du présent. }
"dormir" | VI  | NOMBRE, PERSONNE | 8 | #1 | DORMIR(NOMBRE, PERSONNE) | | "dOrmir" | DORMIR_IPA(NOMBRE, PERSONNE) |
"avoir"  | VT  | NOMBRE, PERSONNE | 8 | #1 | AVOIR(NOMBRE, PERSONNE) | | "avWr" | AVOIR_IPA(NOMBRE, PERSONNE) |
"voir"   | VT  | NOMBRE, PERSONNE | 8 | #1 | VOIR(NOMBRE, PERSONNE) | | "vWr" | VOIR_IPA(NOMBRE, PERSONNE) |
"être"   | COP | NOMBRE, PERSONNE | 1 | #1 | ETRE(NOMBRE, PERSONNE) | | "Etr_" | ETRE_IPA(NOMBRE, PERSONNE) |

{ Mots que la syntaxe demande par leur nom. }
"est-ce" | MOT | | 1 | #1 | | |
"que"    | MOT | | 1 | #1 | $ELISION | | "k@" |
"oui"    | MOT | | 1 | #1 | | | "wi" |
"de"     | MOT | | 1 | #1 | $ELISION | | "d@" |
"`"      | CAP | | 1 | #1 |
"?"      | PONCT | | 1 | #1 |
","      | PONCT | | 1 | "^," |
"."      | PONCT | | 1 | "^." |

{ Mots apparentés que l'analyse accepte à la place d'un mot (poids 0 : jamais engendrés). }
"triste"   | ADJ | NOMBRE, GENRE | 0 | #1 | $ADJECTIF | | "trist_" | $IPA_ADJ | ANT:"content" | "trist_" |
"détester" | VT | NOMBRE, PERSONNE | 0 | #1 - - | PRESENT_ER(NOMBRE, PERSONNE) | | "detEst" | PRESENT_ER_IPA(NOMBRE, PERSONNE) | ANT:"aimer" |
"rarement" | ADVM | | 0 | #1 | | | "rarmA" | | ANT:"souvent" |
