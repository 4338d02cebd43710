// The extra clock over the TV picture while the views are hidden.
#ifndef DIRO_VIEWS_EXTRACLOCK_H
#define DIRO_VIEWS_EXTRACLOCK_H

// Draws the clock (and its bar) once per second; called by the idle duties.
void ExtraClock(void);

#endif
