 EI
