// Character width conversions.
