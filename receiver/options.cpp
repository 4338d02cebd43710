// Placeholder until the receiver program lands.
