#include "app/tavolin.h"

// Placeholder body; the make-panel run replaces it.
void Tavolin::on_makePanel_clicked() {}
