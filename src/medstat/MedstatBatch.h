#pragma once

// zemrak-batch medstat and medstat-control: the report file without a window.
bool IsMedstatBatchCommand(int argc, char** argv);
int RunMedstatBatch(int argc, char** argv);
