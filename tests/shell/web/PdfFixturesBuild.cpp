// The PDF makers of the page tests, built into this test program too.
#include "../../pages/PdfFixtures.cpp"
