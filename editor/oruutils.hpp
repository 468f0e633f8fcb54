// Small operations of the edit loop, and the placeholders of the picture and formula views.
#pragma once

void noop();
void uclcsw();
void elidexp();
void expcore();
void homecur();

// Pictures and formula layout have no store in this system: these keys do nothing.
void grops();
void pickpoint();
void picleft();
void picright();
void picup();
void picdown();
void droppoint();
void addpic();
void remember();
void nextitem();
void previtem();
void preview();
