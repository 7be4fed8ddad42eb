# Runtime core: event queue throughput between two threads.
tessor_bench(fifo_bench SOURCES FifoBench.cpp DEPS schema_event)
