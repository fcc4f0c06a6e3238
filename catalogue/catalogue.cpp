#include "app/tavolin.h"

// Placeholder bodies; the board catalogue replaces them.
void Tavolin::on_loadButton_clicked() {}
void Tavolin::on_deleteButton_clicked() {}
void Tavolin::extendX(double) {}
void Tavolin::extendY(double) {}
