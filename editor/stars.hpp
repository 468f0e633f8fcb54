// Starred lines: blocks between two stars are deleted, copied, moved and recovered.
#pragma once

void clrstars();
int delstar();
void makestars();
void recover();
void delete_();  // the delete operation of the star block (code 27)
void copyop();
void gento_moveblock();
void gento_sleep();
