#pragma once

// zemrak-batch pdf --table KODELMT --out FILE.pdf [--sheet N]
// zemrak-batch html --collection KOD --out DIR
// Runs its own application (fonts are needed); gives the process's exit code.
int RunOutputBatch(int argc, char** argv);
bool IsOutputBatchCommand(int argc, char** argv);
