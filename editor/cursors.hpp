// Cursor movement in every view.
#pragma once

void retrn();
void downfield();
void curleft();
void downline();
void downrec();
void curright();
void upline();
void uprec();
void upfield();
void up_page();
void downpage();
void leftm();
void downm();
void rightm();
void upm();
void greencur();
void downrow();
void uprow();
void fixcursor();
