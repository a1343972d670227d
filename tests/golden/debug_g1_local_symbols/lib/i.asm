; included
 EI
