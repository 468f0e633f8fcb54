{ Semantic transformations of the English example. SMTRANSF english.smt reads
  them; ESC H takes the expression on the current line, such as see(child, dog),
  and writes a PRESELECT rule into core file 14. }
{ $ matches the expression's head, here by its type, so that one
  transformation serves every verb of the type. In a clause #n is item n of
  the expression (the head is item 1); &#n analyses argument n again. }

{ see(child, dog): the act and its agent; the patient from the last argument. }
$ TRANSITIVE : act:VT[#1] , agent:N[#2] , &#3 %

{ sleep(child): the act and its agent. }
$ INTRANSITIVE : act:VI[#1] , agent:N[#2] %

{ small(dog) as an argument: a patient with a quality. }
$ PROPERTY : quality:ADJ[#1] , patient:N[#2] %

{ dog as an argument: the patient. }
$ THING : patient:N[#1] %
